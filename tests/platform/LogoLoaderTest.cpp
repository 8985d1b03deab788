#include "QtPrinters.h"

#include "LogoLoader.h"
#include "TempDir.h"

#include <QBuffer>
#include <QDataStream>
#include <QImage>
#include <QPainter>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

class LogoLoaderTest : public TempDirTest
{
protected:
    QString save(const QString &name, const QByteArray &bytes)
    {
        writeBytes(path(name), bytes);
        return path(name);
    }
};

QByteArray encoded(const char *format, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(200, 30, 30));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, format));
    return bytes;
}

// Little-endian records, as metafiles store them.
class Le
{
public:
    Le &u16(int v) { return put(v, 2); }
    Le &u32(qint64 v) { return put(v, 4); }
    QByteArray bytes;

private:
    Le &put(qint64 v, int n)
    {
        for (int i = 0; i < n; ++i)
            bytes.append(char((v >> (8 * i)) & 0xFF));
        return *this;
    }
};

// A placeable Windows metafile one inch by half an inch holding one filled rectangle.
QByteArray wmfRectangle()
{
    Le h;
    h.u32(0x9AC6CDD7).u16(0).u16(0).u16(0).u16(1000).u16(500).u16(1000).u32(0);
    quint16 checksum = 0;
    for (int i = 0; i < 20; i += 2)
        checksum ^= quint16(uchar(h.bytes[i]) | uchar(h.bytes[i + 1]) << 8);
    h.u16(checksum);
    Le r;
    r.u32(5).u16(0x020B).u16(0).u16(0);           // SETWINDOWORG
    r.u32(5).u16(0x020C).u16(500).u16(1000);      // SETWINDOWEXT
    r.u32(7).u16(0x02FC).u16(0).u32(0x0000FF).u16(0); // CREATEBRUSHINDIRECT, red
    r.u32(4).u16(0x012D).u16(0);                  // SELECTOBJECT
    r.u32(7).u16(0x041B).u16(400).u16(900).u16(100).u16(100); // RECTANGLE
    r.u32(3).u16(0);                              // EOF
    Le m;
    const qint64 words = (18 + r.bytes.size()) / 2;
    m.u16(1).u16(9).u16(0x0300).u32(words).u16(1).u32(7).u16(0);
    return h.bytes + m.bytes + r.bytes;
}

// An enhanced metafile 100 by 50 pixels holding one red rectangle.
QByteArray emfRectangle()
{
    Le rect, eof;
    rect.u32(39).u32(24).u32(1).u32(0).u32(0x0000FF).u32(0); // CREATEBRUSHINDIRECT
    rect.u32(37).u32(12).u32(1);                             // SELECTOBJECT
    rect.u32(43).u32(24).u32(10).u32(10).u32(90).u32(40);    // RECTANGLE
    eof.u32(14).u32(20).u32(0).u32(16).u32(20);
    const qint64 total = 88 + rect.bytes.size() + eof.bytes.size();
    Le h;
    h.u32(1).u32(88).u32(0).u32(0).u32(99).u32(49).u32(0).u32(0).u32(2646).u32(1323);
    h.u32(0x464D4520).u32(0x10000).u32(total).u32(5).u16(2).u16(0).u32(0).u32(0).u32(0);
    h.u32(1024).u32(768).u32(320).u32(240);
    return h.bytes + rect.bytes + eof.bytes;
}

// An enhanced metafile of a header, the given records and the end record; the header's
// description (chars UTF-16 characters at offset) may lie.
QByteArray emfWith(const QByteArray &records, quint32 chars = 0, quint32 offset = 0)
{
    Le eof;
    eof.u32(14).u32(20).u32(0).u32(16).u32(20);
    const qint64 total = 88 + records.size() + eof.bytes.size();
    Le h;
    h.u32(1).u32(88).u32(0).u32(0).u32(99).u32(49).u32(0).u32(0).u32(2646).u32(1323);
    h.u32(0x464D4520).u32(0x10000).u32(total).u32(3).u16(1).u16(0).u32(chars).u32(offset).u32(0);
    h.u32(1024).u32(768).u32(320).u32(240);
    return h.bytes + records + eof.bytes;
}

TEST_F(LogoLoaderTest, EveryPictureTypeLoadsAtItsOwnSize)
{
    struct Case
    {
        const char *name;
        QByteArray bytes;
        QSize size;
    };
    const Case cases[] = {
        {"logo.jpg", encoded("JPG", {120, 40}), {120, 40}},
        {"LOGO.JPEG", encoded("JPG", {33, 17}), {33, 17}},
        {"logo.bmp", encoded("BMP", {64, 20}), {64, 20}},
        {"logo.ico", encoded("ICO", {32, 32}), {32, 32}},
        {"logo.wmf", wmfRectangle(), {96, 48}},
        {"logo.emf", emfRectangle(), {}},
    };
    for (const Case &c : cases) {
        const auto image = LogoLoader::load(save(QString::fromLatin1(c.name), c.bytes));
        ASSERT_TRUE(image.has_value()) << c.name;
        if (c.size.isValid()) {
            EXPECT_EQ(image->size(), c.size) << c.name;
        }
        // Every test picture holds red: the drawing really came through.
        int red = 0;
        for (int y = 0; y < image->height(); ++y) {
            for (int x = 0; x < image->width(); ++x) {
                const QColor px = image->pixelColor(x, y);
                red += px.alpha() > 128 && px.red() > 150 && px.green() < 90;
            }
        }
        EXPECT_GT(red, 0) << c.name;
    }
}

TEST_F(LogoLoaderTest, DamagedOrMislabelledFilesGiveNoPicture)
{
    const QByteArray jpeg = encoded("JPG", {120, 40});
    const QByteArray wmf = wmfRectangle();
    const QByteArray emf = emfRectangle();
    const std::pair<const char *, QByteArray> cases[] = {
        {"truncated.jpg", jpeg.left(jpeg.size() / 2)},
        {"header-only.jpg", jpeg.left(20)},
        {"png-named.jpg", encoded("PNG", {10, 10})},
        {"garbage.jpg", QByteArray(5000, '\x5A')},
        {"empty.bmp", QByteArray()},
        {"truncated.bmp", encoded("BMP", {64, 20}).left(40)},
        {"text.ico", QByteArray("not an icon at all")},
        {"truncated.wmf", wmf.left(30)},
        {"garbage.wmf", QByteArray(4000, '\x01')},
        {"truncated.emf", emf.left(60)},
        {"wrong-length.emf", emf.left(100)},
        {"jpeg-named.emf", jpeg},
        // Lengths inside the records that point past them: the converter would read beyond
        // the file.
        {"text-too-long.emf", [] {
             Le t; // EXTTEXTOUTW: 3000 characters said, 2 there
             t.u32(84).u32(80).u32(0).u32(0).u32(10).u32(10).u32(1).u32(0).u32(0);
             t.u32(5).u32(5).u32(3000).u32(76).u32(0).u32(0).u32(0).u32(10).u32(10).u32(0);
             t.u32(0x00420041);
             return emfWith(t.bytes);
         }()},
        {"short-font.emf", [] {
             Le f; // EXTCREATEFONTINDIRECTW too short for its face name
             f.u32(82).u32(16).u32(1).u32(12);
             return emfWith(f.bytes);
         }()},
        {"description-outside.emf", emfWith({}, 500, 80)},
        {"description-without-length.emf", emfWith({}, 0, 108)}, // found by the fuzzer
        {"logo.png", encoded("PNG", {10, 10})},
    };
    for (const auto &[name, bytes] : cases)
        EXPECT_FALSE(LogoLoader::load(save(QString::fromLatin1(name), bytes)).has_value()) << name;

    EXPECT_FALSE(LogoLoader::load(path("missing.jpg")).has_value());
    EXPECT_FALSE(LogoLoader::load(m_dir.path()).has_value()) << "a folder";
    EXPECT_FALSE(LogoLoader::load(QString()).has_value());
}

// Files that would make the loader read without end, block, allocate gigabytes or decode
// more than a sheet can show.
TEST_F(LogoLoaderTest, HostileFilesAreRefusedOrDecodedSmall)
{
    const auto large = LogoLoader::load(save(u"large.jpg"_s, encoded("JPG", {3200, 2400})));
    ASSERT_TRUE(large.has_value());
    EXPECT_EQ(large->size(), QSize(1600, 1200)) << "decoded at half its size";

    Le wmf; // 18 header bytes saying the largest record is 3.6 GB
    wmf.u16(1).u16(9).u16(0x0300).u32(20).u16(0).u32(0x6B49D200).u16(0).u16(3).u16(0);
    QFile sparse(path("huge.bmp"));
    ASSERT_TRUE(sparse.open(QIODevice::WriteOnly) && sparse.resize(LogoLoader::MaxFileBytes + 1));
    sparse.close();
    ASSERT_TRUE(QFile::link(u"/proc/self/pagemap"_s, path("pagemap.jpg")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("fifo.jpg")).constData(), 0600), 0);
    for (const char *name : {"huge.wmf", "huge.bmp", "pagemap.jpg", "fifo.jpg"}) {
        if (QByteArray(name) == "huge.wmf")
            save(u"huge.wmf"_s, wmf.bytes);
        EXPECT_FALSE(LogoLoader::load(path(QString::fromLatin1(name))).has_value()) << name;
    }
}

} // namespace
