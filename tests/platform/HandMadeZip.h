#pragma once

#include <QByteArray>
#include <QList>

#include <optional>
#include <utility>

// Zip archives written byte by byte from the format's layouts (local headers, central directory,
// end record), so that a test can hold what no zip tool writes: names that climb or hold a NUL,
// links and pipes, sizes that lie. Every entry is dated 05 Mar 2006 15:04:06 (DOS time).
struct THandMadeEntry {
    THandMadeEntry(QByteArray name, QByteArray data, quint32 unixMode = 0100644, bool deflate = false,
                   std::optional<quint64> declaredSize = std::nullopt, bool zip64Size = false)
        : Name(std::move(name)), Data(std::move(data)), UnixMode(unixMode), Deflate(deflate),
          DeclaredSize(declaredSize), Zip64Size(zip64Size) {}

    QByteArray Name;                     // stored as given, byte for byte
    QByteArray Data;                     // the entry's data as it unpacks
    quint32 UnixMode;                    // file type and permissions; 0 stores MS-DOS attributes
    bool Deflate;                        // deflated, else stored
    std::optional<quint64> DeclaredSize; // the size the headers claim, when not Data's size
    bool Zip64Size;                      // the sizes in a zip64 extra field
    quint16 Flags = 0;                   // the general-purpose flags
    std::optional<quint16> Method;       // the compression method stored, when not 8 or 0
};

class THandMadeZip {
public:
    static QByteArray Build(const QList<THandMadeEntry>& entries, const QByteArray& comment = {}) {
        QByteArray archive;
        QByteArray directory;
        for (const THandMadeEntry& entry : entries) {
            const QByteArray packed = entry.Deflate ? RawDeflate(entry.Data) : entry.Data;
            const quint64 size = entry.DeclaredSize.value_or(quint64(entry.Data.size()));
            const quint32 crc = Crc32(entry.Data);
            QByteArray extra;
            if (entry.Zip64Size) {
                Put16(extra, 0x0001);
                Put16(extra, 16);
                Put64(extra, size);
                Put64(extra, quint64(packed.size()));
            }
            const quint32 shownSize = entry.Zip64Size ? 0xFFFFFFFFu : quint32(size);
            const quint32 shownPacked = entry.Zip64Size ? 0xFFFFFFFFu : quint32(packed.size());
            const quint16 needed = entry.Zip64Size ? 45 : 20;
            const quint16 method = entry.Method.value_or(entry.Deflate ? 8 : 0);

            const auto offset = quint32(archive.size());
            Put32(archive, 0x04034b50);
            Put16(archive, needed);
            Put16(archive, entry.Flags);
            Put16(archive, method);
            Put16(archive, DosTime);
            Put16(archive, DosDate);
            Put32(archive, crc);
            Put32(archive, shownPacked);
            Put32(archive, shownSize);
            Put16(archive, quint16(entry.Name.size()));
            Put16(archive, quint16(extra.size()));
            archive += entry.Name + extra + packed;

            Put32(directory, 0x02014b50);
            Put16(directory, quint16((entry.UnixMode ? 3 : 0) << 8 | needed));
            Put16(directory, needed);
            Put16(directory, entry.Flags);
            Put16(directory, method);
            Put16(directory, DosTime);
            Put16(directory, DosDate);
            Put32(directory, crc);
            Put32(directory, shownPacked);
            Put32(directory, shownSize);
            Put16(directory, quint16(entry.Name.size()));
            Put16(directory, quint16(extra.size()));
            Put16(directory, 0); // comment
            Put16(directory, 0); // disk
            Put16(directory, 0); // internal attributes
            Put32(directory, entry.UnixMode << 16 | (entry.Name.endsWith('/') ? 0x10 : 0));
            Put32(directory, offset);
            directory += entry.Name + extra;
        }
        const auto directoryAt = quint32(archive.size());
        archive += directory;
        Put32(archive, 0x06054b50);
        Put16(archive, 0);
        Put16(archive, 0);
        Put16(archive, quint16(entries.size()));
        Put16(archive, quint16(entries.size()));
        Put32(archive, quint32(directory.size()));
        Put32(archive, directoryAt);
        Put16(archive, quint16(comment.size()));
        return archive + comment;
    }

    static quint32 Crc32(const QByteArray& data) {
        quint32 crc = 0xFFFFFFFFu;
        for (const char c : data) {
            crc ^= quint8(c);
            for (int bit = 0; bit < 8; ++bit)
                crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
        return ~crc;
    }

    // Deflated data without the zlib wrapper that qCompress puts around it (a four-byte length,
    // two header bytes and a four-byte checksum).
    static QByteArray RawDeflate(const QByteArray& data) {
        const QByteArray wrapped = qCompress(data, 9);
        return wrapped.mid(6, wrapped.size() - 10);
    }

private:
    static constexpr quint16 DosTime = (15 << 11) | (4 << 5) | (6 / 2);
    static constexpr quint16 DosDate = ((2006 - 1980) << 9) | (3 << 5) | 5;

    static void Put16(QByteArray& out, quint16 value) {
        out += char(value & 0xFF);
        out += char(value >> 8);
    }
    static void Put32(QByteArray& out, quint32 value) {
        Put16(out, quint16(value & 0xFFFF));
        Put16(out, quint16(value >> 16));
    }
    static void Put64(QByteArray& out, quint64 value) {
        Put32(out, quint32(value & 0xFFFFFFFFu));
        Put32(out, quint32(value >> 32));
    }
};
