#pragma once

#include <QString>

// Small path and number helpers of the archive session. Paths use "/".
namespace modSession {

// The text before the last "/": "/a/b.rar" gives "/a", "/b.rar" gives "/", and a
// name without any "/" gives empty text.
QString FolderFromPath(const QString& strPath);

// The text after the last "/" (the whole path if there is none); without
// blnKeepExtension, the text from the name's last "." on is cut off.
QString FileNameFromPath(const QString& strPath, bool blnKeepExtension);

// Text from an archive made safe to show: control characters, line and
// paragraph separators and direction marks become \xNN or \uNNNN.
QString DisplayText(const QString& strText);

// high * 2^32 + low, both halves read as unsigned.
double HiLoAsDouble(unsigned int lngHigh, unsigned int lngLow);

// The folder of a shell special folder by its classic number; only 0, the
// desktop, is known. Empty text when there is none.
QString SpecialFolderPath(int lngCsidl);

} // namespace modSession
