// Prints what each draft in a folder recovers, as the editor's reader makes it, for the kill soak:
// a line per draft of "whole|cut FILE HEX", FILE being "-" for an untitled document. A draft that
// starts from a file reads it as plain UTF-8.
//     build/bench/bench/draft_texts STATE/scribbet/drafts

#include "DraftFormat.h"
#include "FileIO.h"

#include <QDir>
#include <QFile>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc != 2)
        return 2;
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const auto fileText = [](const platform::DraftHeader &header) -> std::optional<QByteArray> {
        QFile file(QFile::decodeName(header.filePath));
        if (!file.open(QIODevice::ReadOnly))
            return std::nullopt;
        const QByteArray bytes = file.readAll();
        if (!header.file ||
            platform::FileVersion{bytes.size(), platform::contentHash(bytes)} != *header.file)
            return std::nullopt;
        return bytes;
    };
    for (const QString &name : folder.entryList({QStringLiteral("*.draft")}, QDir::Files)) {
        QFile draft(folder.filePath(name));
        if (!draft.open(QIODevice::ReadOnly))
            continue;
        const auto contents = platform::readDraft(draft.readAll(), fileText, qsizetype(1) << 30);
        if (!contents || !contents->text) {
            std::printf("unreadable %s -\n", qPrintable(name));
            continue;
        }
        const QByteArray file = contents->header.filePath;
        std::printf("%s %s %s\n", contents->isWhole ? "whole" : "cut",
                    file.isEmpty() ? "-" : file.constData(), contents->text->toHex().constData());
    }
    return 0;
}
