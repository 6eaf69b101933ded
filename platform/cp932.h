#pragma once
// CP932 (Windows-31J, "Shift-JIS" as Japanese Windows writes it): the one module
// that turns text into CP932 bytes and back. Uses glibc iconv, which maps the
// characters users type (〜 U+301C, − U+2212, ¥) the way Japanese files expect;
// characters CP932 cannot hold are reported, never silently replaced.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace platform::cp932 {

struct EncodeResult {
    QByteArray bytes;
    bool ok = true;
    // The first character that CP932 cannot hold (when !ok), and its position.
    QString badCharacter;
    int badPosition = -1;
    // A message for the user naming the character.
    QString message() const;
};

EncodeResult encode(const QString& text);
// Appends the CP932 form of UTF-8 text to out in one conversion (for long
// texts that are UTF-8 already). False when the text holds a character that
// CP932 cannot hold or is not valid UTF-8; out is then unchanged, and
// encode() of the text names the character.
bool appendFromUtf8(QByteArrayView utf8, QByteArray& out);
// Decodes CP932 bytes; nullopt when the bytes are not valid CP932.
std::optional<QString> decode(const QByteArray& bytes);
// Decodes CP932 bytes into a text whose storage is kept from one call to the
// next, for reading files value by value or line by line without a new heap
// string each time. Not for sharing between threads.
class Decoder {
public:
    Decoder();
    ~Decoder();
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;
    // Replaces out by the text of bytes (out's storage is reused); false when
    // the bytes are not valid CP932 (out is then unspecified).
    bool decode(QByteArrayView bytes, QString& out);

private:
    void* cd_;
};

// Bytes the text takes in CP932 (characters it cannot hold count 2, as a
// replacement would). Used for field length limits.
int byteLength(const QString& text);
// True when every character of the text has a CP932 form.
bool canEncode(const QString& text);

}  // namespace platform::cp932
