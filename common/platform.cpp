// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
#include "common/platform.h"

#include <QByteArray>
#include <QtGlobal>

namespace ravelle {

void choosePlatformDefaults() {
#ifdef Q_OS_WIN
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("windows:fontengine=directwrite"));
    if (qEnvironmentVariableIsEmpty("QT_STYLE_OVERRIDE"))
        qputenv("QT_STYLE_OVERRIDE", QByteArrayLiteral("windowsvista"));
#endif
}

} // namespace ravelle
