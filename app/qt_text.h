#pragma once

#include <QString>
#include <string>

namespace tessaro {

// Paths and texts cross between the byte strings of the core and Qt through
// the local 8-bit encoding, so file names come back as the system spells them.
inline QString to_qt(const std::string& s) {
    return QString::fromLocal8Bit(s.data(), static_cast<qsizetype>(s.size()));
}

// What the TYP reader gives of a text's contents (labels, comments, its
// lines and what its messages quote) is UTF-8, whatever the file's charset.
inline QString from_utf8(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

inline std::string from_qt(const QString& s) {
    return s.toLocal8Bit().toStdString();
}

}  // namespace tessaro
