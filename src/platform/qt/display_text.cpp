#include "platform/qt/display_text.h"

#include <QFile>
#include <cerrno>
#include <iconv.h>
#include <string>

namespace mixora {
namespace {

const char* IconvName(TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Big5:
        return "CP950";
    case TextEncoding::Gb2312:
        return "CP936";
    case TextEncoding::Utf8:
        break;
    }
    return "UTF-8";
}

// One iconv descriptor for the whole conversion, closed on every path.
class Converter {
public:
    explicit Converter(const char* from) : cd_(iconv_open("UTF-8", from)) {}
    ~Converter() {
        if (Valid()) {
            iconv_close(cd_);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool Valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    std::string ToUtf8(std::string_view bytes) {
        std::string out;
        char buf[256];
        char* in = const_cast<char*>(bytes.data());
        std::size_t inLeft = bytes.size();
        while (inLeft > 0) {
            char* o = buf;
            std::size_t oLeft = sizeof buf;
            const std::size_t r = iconv(cd_, &in, &inLeft, &o, &oLeft);
            out.append(buf, static_cast<std::size_t>(o - buf));
            if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
                // An undecodable or cut-off sequence: mark it and go on with
                // the next byte.
                out.append("\xEF\xBF\xBD");
                ++in;
                --inLeft;
                iconv(cd_, nullptr, nullptr, nullptr, nullptr);
            }
        }
        return out;
    }

private:
    iconv_t cd_;
};

} // namespace

QString DisplayString(std::string_view bytes, TextEncoding encoding) {
    if (encoding == TextEncoding::Utf8) {
        return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    }
    Converter converter(IconvName(encoding));
    if (!converter.Valid()) {
        return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    }
    const std::string utf8 = converter.ToUtf8(bytes);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

void LogShownText(const char* kind, const QString& text) {
    static const QByteArray path = qgetenv("MIXORA_SHOWN_TEXT_LOG");
    if (path.isEmpty()) {
        return;
    }
    QFile file(QString::fromLocal8Bit(path));
    if (file.open(QIODevice::Append | QIODevice::Text)) {
        file.write(QByteArray(kind) + ": " + text.toUtf8() + "\n");
    }
}

} // namespace mixora
