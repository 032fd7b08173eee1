#include "shell/contact.h"

#include <QDesktopServices>
#include <QUrl>

namespace lexivo {

bool OpenLink(const QString& target) {
    return QDesktopServices::openUrl(QUrl(target));
}

}  // namespace lexivo
