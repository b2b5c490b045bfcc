// Paths handed from the window to the document and the link, in the system's own spelling
// ("C:\Radios\x.r62" on Windows), which is then how the title and every message show them.
#pragma once

#include <QDir>
#include <QString>
#include <string>

namespace rt62 {

inline std::string NativePath(const QString& path) {
    return QDir::toNativeSeparators(path).toStdString();
}

} // namespace rt62
