// Base64: DecodeStr either reports the text as invalid or agrees with Qt's strict decoder,
// and what it decodes encodes back to a text no longer than the input that decodes the same.
#include "AnsiCodec.h"
#include "FuzzSupport.h"
#include "mdlCommonKV.h"

using namespace mdlCommonKV;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    SilentPrompter &boxes = Fuzz::prompter();
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    // An odd first byte reads the rest as UTF-8, to reach characters beyond one byte.
    const QString text = size > 0 && (data[0] & 1) ? QString::fromUtf8(bytes.mid(1)) : QString::fromLatin1(bytes);

    boxes.messages = 0;
    const QString decoded = DecodeStr(text);
    if (boxes.messages == 0) {
        FUZZ_CHECK(text.size() % 4 == 0);
        const auto strict = QByteArray::fromBase64Encoding(text.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        FUZZ_CHECK(strict.decodingStatus == QByteArray::Base64DecodingStatus::Ok);
        FUZZ_CHECK(AnsiCodec::decode(strict.decoded) == decoded);

        const QString again = EncodeStr(decoded);
        if (boxes.messages == 0) {
            // The code page drops a lead byte that ends the text, so the text may shrink.
            FUZZ_CHECK(again.size() <= text.size());
            FUZZ_CHECK(DecodeStr(again) == decoded);
            FUZZ_CHECK(boxes.messages == 0);
        }
    }

    // Plain ASCII always survives the round trip.
    QString ascii = QString::fromLatin1(bytes);
    for (QChar &c : ascii)
        c = QChar(c.unicode() & 0x7F);
    boxes.messages = 0;
    FUZZ_CHECK(DecodeStr(EncodeStr(ascii)) == ascii);
    FUZZ_CHECK(boxes.messages == 0);
    return 0;
}
