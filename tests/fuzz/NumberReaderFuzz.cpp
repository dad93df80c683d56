// libFuzzer target for the bank reader: any bytes a teacher's editor could save must either read
// as a sequence of values or end in the overflow error (or, for a file saved as UTF-16, the
// file-format error), never crash or misbehave.
#include "bank/NumberReader.h"

#include <cstdint>
#include <cstdlib>

using vaporica::ErrorNumber;
using vaporica::NumberReader;
using vaporica::RuntimeError;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    NumberReader reader(QStringLiteral("fuzz.txt"), bytes);
    int lastLine = 1;
    try {
        while (const auto value = reader.tryNext()) {
            // Values come strictly in order, lines never go back, a field is never longer than the
            // input it came from, and an empty field reads as 0.
            if (value->position != reader.valuesRead() || value->line < lastLine ||
                value->text.size() > bytes.size() || (value->text.isEmpty() && value->value != 0))
                std::abort();
            lastLine = value->line;
        }
        // Past the end the reader reports the shortfall rather than inventing a value.
        try {
            reader.next(reader.valuesRead() + 1);
            std::abort();
        } catch (const RuntimeError &error) {
            if (error.number() != ErrorNumber::InputPastEndOfFile)
                std::abort();
        }
    } catch (const RuntimeError &error) {
        const bool utf16 = bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF");
        if (error.number() != (utf16 ? ErrorNumber::InvalidFileFormat : ErrorNumber::Overflow))
            std::abort();
    }
    return 0;
}
