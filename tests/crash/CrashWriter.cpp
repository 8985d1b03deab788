// Saves a whole sheet into the file named by its first argument again and again, each
// save one atomic replacement as the sheet window's full save does, with every text
// carrying the save's number (counted from the second argument), until it is killed.

#include "IniBatch.h"
#include "SheetFields.h"
#include "TCaptionSaver.h"
#include "TFontSaver.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    if (argc != 3)
        return 2;
    const QString file = QString::fromLocal8Bit(argv[1]);
    TCaptionSaver texts(nullptr);
    TFontSaver fonts(nullptr);
    texts.SetIniFileName(file);
    fonts.SetIniFileName(file);
    const long first = std::atol(argv[2]);
    for (long generation = first;; ++generation) {
        const QString text = QStringLiteral("gen %1").arg(generation);
        IniBatch batch;
        for (const FieldSpec &f : SheetFields::components()) {
            if (!f.isPersisted())
                continue;
            texts.SaveText(f.nameString(), text);
            fonts.SaveFont(f.nameString(), f.font);
        }
        for (int c = 0; c < SheetFields::GridColumns; ++c) {
            for (int r = 0; r < SheetFields::GridRows; ++r)
                texts.SaveText(SheetFields::TableKey(c, r), text);
        }
        batch.commit();
        if (generation == first) {
            std::puts("saved");
            std::fflush(stdout);
        }
    }
}
