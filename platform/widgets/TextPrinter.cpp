#include "TextPrinter.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QPainter>

#include <climits>

namespace platform {
namespace {

struct TextPrinting {
    Q_DECLARE_TR_FUNCTIONS(TextPrinting)
};

constexpr qreal smallestMargin = 15; // millimetres

QFont headerFont()
{
    QFont font;
    font.setPointSizeF(9);
    return font;
}

} // namespace

TextPrinter::TextPrinter(const QString &documentName)
    : QsciPrinter(QPrinter::HighResolution)
{
    setDocName(documentName);
    setWrapMode(QsciScintilla::WrapWord);
    setPageMargins(QMarginsF(smallestMargin, smallestMargin, smallestMargin, smallestMargin),
                   QPageLayout::Millimeter);
}

bool TextPrinter::printText(QsciScintillaBase *control)
{
    m_pageCount = countPages(control);
    return printRange(control) != 0;
}

// "n of N" needs N before page 1 is drawn: the text is laid out once on the same page, in a
// document that goes nowhere, with no page drawn.
int TextPrinter::countPages(QsciScintillaBase *control)
{
    TextPrinter layout(docName());
    layout.setOutputFormat(QPrinter::PdfFormat);
    layout.setOutputFileName(QStringLiteral("/dev/null"));
    layout.setResolution(resolution());
    layout.setPageLayout(pageLayout());
    layout.setMagnification(magnification());
    layout.setFromTo(INT_MAX, INT_MAX);
    layout.printRange(control);
    return layout.m_pageCount;
}

void TextPrinter::formatPage(QPainter &painter, bool drawing, QRect &area, int pageNumber)
{
    m_pageCount = qMax(m_pageCount, pageNumber);
    const QFont font = headerFont();
    const int lineHeight = QFontMetrics(font, painter.device()).height();
    const QRect header(area.left(), area.top(), area.width(), lineHeight);
    const QRect footer(area.left(), area.bottom() - lineHeight + 1, area.width(), lineHeight);
    area.adjust(0, 2 * lineHeight, 0, -2 * lineHeight);
    if (!drawing)
        return;
    painter.save();
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QFontMetrics metrics(font, painter.device());
    painter.drawText(header, Qt::AlignLeft | Qt::AlignVCenter,
                     metrics.elidedText(docName(), Qt::ElideMiddle, header.width()));
    painter.drawText(footer, Qt::AlignHCenter | Qt::AlignVCenter,
                     TextPrinting::tr("%1 of %2").arg(pageNumber).arg(m_pageCount));
    painter.restore();
}

} // namespace platform
