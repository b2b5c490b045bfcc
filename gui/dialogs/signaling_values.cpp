#include "gui/dialogs/signaling_values.h"

#include "gui/common/fixed_font.h"
#include "core/image/sections.h"

namespace rt62 {

std::string DtmfFieldText(const QString& text, std::size_t maxLength) {
    return DtmfKeypadText(text.toStdString(), maxLength);
}

QString TableText(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QFont SignalingFixedFont() { return SystemFixedFont(); }

}  // namespace rt62
