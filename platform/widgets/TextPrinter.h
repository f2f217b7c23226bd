#pragma once

#include <Qsci/qsciprinter.h>

#include <QString>

namespace platform {

/// Puts an editing control's text on pages, wrapped between words, under a header with the
/// document's name and over a footer that numbers the pages, "2 of 7". The pages start with
/// margins of 15 mm, which the print dialog may change.
class TextPrinter final : public QsciPrinter {
public:
    explicit TextPrinter(const QString &documentName);

    /// Prints the pages the print dialog chose. Returns whether every page was printed.
    bool printText(QsciScintillaBase *control);

protected:
    void formatPage(QPainter &painter, bool drawing, QRect &area, int pageNumber) override;

private:
    int countPages(QsciScintillaBase *control);

    int m_pageCount = 0;
};

} // namespace platform
