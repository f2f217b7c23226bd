// A window that drags the file named on its command line as soon as it is pressed, as a file
// manager does, so that the end-to-end run can drop a file on the editor with the real pointer.

#include <QApplication>
#include <QDrag>
#include <QLabel>
#include <QMimeData>
#include <QUrl>

namespace {

class DragSource final : public QLabel {
public:
    explicit DragSource(QString path)
        : QLabel(QStringLiteral("drag source"))
        , m_path(std::move(path))
    {
        setWindowTitle(text());
        resize(200, 100);
    }

protected:
    void mousePressEvent(QMouseEvent * /*event*/) override
    {
        auto *data = new QMimeData;
        data->setUrls({QUrl::fromLocalFile(m_path)});
        auto *drag = new QDrag(this);
        drag->setMimeData(data);
        drag->exec(Qt::CopyAction);
    }

private:
    QString m_path;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    DragSource source(QApplication::arguments().value(1));
    source.show();
    return QApplication::exec();
}
