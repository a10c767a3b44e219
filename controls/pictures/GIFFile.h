#pragma once

#include "controls/pictures/GIFData.h"

#include <QByteArray>

// The GIF87a and GIF89a file layout: header, logical screen descriptor, global colour table, then
// blocks up to the trailer - image descriptors with their colour tables and LZW data, and
// extension blocks. Every length is checked against the data.
namespace GIFFile {

// Reads a file. The signature is "GIF" in any case and the version "87a" or "89a". Image
// descriptors make frames, taking the extensions read since the previous frame (a graphic control
// extension gives the frame's values, a loop extension the file's loop). The comments of a
// group of extensions that no image follows become the file's comment when it has none yet,
// successive comments separated by an empty line. After a frame, zero bytes are skipped and any
// byte but an introducer or the trailer - or the end of the data - ends the reading.
// Raises EInvalidGraphic with the class's texts ("Unknown GIF version", "Unrecognized extension
// block: 3B", "GIF code size not in range 2 to 9", "GIF encoded data is corrupt"), and
// EPictureError naming the fault for data cut short or a block that is not one where a block
// belongs.
TGIFData Read(const QByteArray& bytes);

// Writes a file: "GIF89a" when it carries any extension, else the data's version ("GIF87a" for an
// unknown one). The loop is written as a "NETSCAPE2.0" extension after the global colour table,
// the comment after the last frame. Raises EInvalidGraphic "No GIF Data to write" for data
// without frames, and "Wrong number of colors; must be a power of 2" for a colour table that is
// not 2, 4, ... 256 entries.
QByteArray Write(const TGIFData& data);

// Whether an application extension is a loop extension ("NETSCAPE2.0" or "ANIMEXTS1.0" with a
// first data sub-block of at least 3 bytes that starts with 1), and its repeat count.
bool IsLoopExtension(const TExtension& extension, int* repeatCount = nullptr);

} // namespace GIFFile
