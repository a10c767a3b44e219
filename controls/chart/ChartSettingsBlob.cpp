#include "controls/chart/ChartSettingsBlob.h"

#include "core/io/Win1252Codec.h"

#include <bit>

namespace {

const QByteArray BlobPrefix = QByteArrayLiteral("Res");
constexpr char ZeroStandIn = '-';
constexpr std::uint8_t WordMaskBase = 0x20;
constexpr char NoZeroMask = ' ';
constexpr char DoubleWithoutZeros = 1;
constexpr char DoubleWithZeros = 2;

// Writes the bytes with each zero byte as "-" and answers the mask of the zero bytes (bit n for
// byte n).
unsigned AppendMasked(QByteArray& out, const std::uint8_t* bytes, int count) {
    unsigned mask = 0;
    for (int i = 0; i < count; ++i) {
        if (bytes[i] == 0) {
            mask |= 1u << i;
            out.append(ZeroStandIn);
        } else {
            out.append(static_cast<char>(bytes[i]));
        }
    }
    return mask;
}

// The bytes back from their written form and the mask; false when a byte the mask names is not
// "-" or a byte it does not name is zero.
bool Unmask(const QByteArray& written, unsigned mask, std::uint8_t* bytes) {
    for (qsizetype i = 0; i < written.size(); ++i) {
        const bool zero = (mask & (1u << i)) != 0;
        if (zero ? written[i] != ZeroStandIn : written[i] == '\0')
            return false;
        bytes[i] = zero ? 0 : static_cast<std::uint8_t>(written[i]);
    }
    return true;
}

} // namespace

TChartSettingsBlob::TChartSettingsBlob(int number) : Bytes(BlobPrefix) {
    Bytes.append(static_cast<char>(number));
    Position = Bytes.size();
}

TChartSettingsBlob::TChartSettingsBlob(int number, const QByteArray& text) : Bytes(text) {
    Good = text.size() > BlobPrefix.size() && text.startsWith(BlobPrefix) &&
           static_cast<std::uint8_t>(text[BlobPrefix.size()]) == number;
    Position = BlobPrefix.size() + 1;
}

void TChartSettingsBlob::AppendWord(std::uint32_t value) {
    std::uint8_t bytes[4];
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
    const unsigned mask = AppendMasked(Bytes, bytes, 4);
    Bytes.append(static_cast<char>(WordMaskBase + mask));
}

void TChartSettingsBlob::AppendDouble(double value) {
    const auto raw = std::bit_cast<std::uint64_t>(value);
    std::uint8_t bytes[8];
    for (int i = 0; i < 8; ++i)
        bytes[i] = static_cast<std::uint8_t>(raw >> (8 * i));
    const unsigned mask = AppendMasked(Bytes, bytes, 8);
    Bytes.append(mask == 0 ? NoZeroMask : static_cast<char>(mask));
    Bytes.append(mask == 0 ? DoubleWithoutZeros : DoubleWithZeros);
}

void TChartSettingsBlob::AppendText(const QString& text) {
    QByteArray bytes = TWin1252Codec::Encode(text.left(MaxTextLength));
    bytes.replace('\0', ' ');
    Bytes.append(static_cast<char>(bytes.size() + 1));
    Bytes.append(bytes);
}

std::optional<QByteArray> TChartSettingsBlob::Take(qsizetype count) {
    if (!Good || Remaining() < count) {
        Fail();
        return std::nullopt;
    }
    QByteArray taken = Bytes.mid(Position, count);
    Position += count;
    return taken;
}

std::optional<std::uint32_t> TChartSettingsBlob::ReadWord() {
    const std::optional<QByteArray> written = Take(WordSize);
    if (!written)
        return std::nullopt;
    const auto maskByte = static_cast<std::uint8_t>((*written)[4]);
    std::uint8_t bytes[4];
    if (maskByte < WordMaskBase || maskByte > WordMaskBase + 0x0F ||
        !Unmask(written->left(4), maskByte - WordMaskBase, bytes)) {
        Fail();
        return std::nullopt;
    }
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
    return value;
}

std::optional<double> TChartSettingsBlob::ReadDouble() {
    const std::optional<QByteArray> written = Take(DoubleSize);
    if (!written)
        return std::nullopt;
    const char maskByte = (*written)[8];
    const char marker = (*written)[9];
    const bool withZeros = marker == DoubleWithZeros;
    const unsigned mask = withZeros ? static_cast<std::uint8_t>(maskByte) : 0;
    std::uint8_t bytes[8];
    if ((marker != DoubleWithoutZeros && !withZeros) || (!withZeros && maskByte != NoZeroMask) ||
        (withZeros && mask == 0) || !Unmask(written->left(8), mask, bytes)) {
        Fail();
        return std::nullopt;
    }
    std::uint64_t raw = 0;
    for (int i = 0; i < 8; ++i)
        raw |= static_cast<std::uint64_t>(bytes[i]) << (8 * i);
    return std::bit_cast<double>(raw);
}

std::optional<QString> TChartSettingsBlob::ReadText() {
    const std::optional<QByteArray> length = Take(1);
    if (!length)
        return std::nullopt;
    const int count = static_cast<std::uint8_t>((*length)[0]) - 1;
    if (count < 0) {
        Fail();
        return std::nullopt;
    }
    const std::optional<QByteArray> bytes = Take(count);
    if (!bytes)
        return std::nullopt;
    return TWin1252Codec::Decode(*bytes);
}
