// The number rule and the "0.00" format: no crash or hang, and formatting is stable:
// a formatted number parses back to a number that formats the same.

#include "NumberText.h"

#include <QString>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const QChar sep = (data[0] & 1) ? u',' : u'.';
    const QString text = QString::fromLatin1(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const auto value = NumberText::parse(text, sep);
    if (!value)
        return 0;
    const QString once = NumberText::format(*value, sep);
    const auto again = NumberText::parse(once, sep);
    if (!again)
        std::abort();
    if (NumberText::format(*again, sep) != once)
        std::abort();
    return 0;
}
