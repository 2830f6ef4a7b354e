// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
#include "common/equations_page.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>

namespace ravelle {

// The page's folder relative to the program's, fixed by the build for the
// platform's layout ("../share/ravelle" on Linux, "doc" on Windows).
QUrl equationsPageAddress() {
    const QString configured = QStringLiteral(RAVELLE_EQUATIONS_URL);
    if (!configured.isEmpty()) return QUrl(configured);
    const QDir bin(QCoreApplication::applicationDirPath());
    return QUrl::fromLocalFile(
        QDir::cleanPath(bin.filePath(QStringLiteral(RAVELLE_PAGE_FROM_BIN "/vent-proof-adv.htm"))));
}

void openEquationsPage() { QDesktopServices::openUrl(equationsPageAddress()); }

} // namespace ravelle
