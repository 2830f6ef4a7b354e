// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
#include "port/equations_page.h"

#include <QCoreApplication>
#include <QDir>

namespace ravelle {

QUrl equationsPageAddress() {
    const QString configured = QStringLiteral(RAVELLE_EQUATIONS_URL);
    if (!configured.isEmpty()) return QUrl(configured);
    const QDir bin(QCoreApplication::applicationDirPath());
    return QUrl::fromLocalFile(
        QDir::cleanPath(bin.filePath(QStringLiteral("../share/ravelle/vent-proof-adv.htm"))));
}

} // namespace ravelle
