// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
#include "common/link_label.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QMouseEvent>
#include <QShortcut>

namespace ravelle {

namespace {

// A link as assistive technology sees it: the label's text as its name, the
// tooltip and the keys as its description, and one action, "press", which
// the Windows bridge offers as UI Automation's Invoke.
class AccessibleLink : public QAccessibleWidget {
  public:
    explicit AccessibleLink(LinkLabel* link) : QAccessibleWidget(link, QAccessible::Link) {}

    QString text(QAccessible::Text t) const override {
        const QString keys = link()->shortcut().toString(QKeySequence::NativeText);
        switch (t) {
        case QAccessible::Name:
            if (link()->accessibleName().isEmpty()) return link()->text();
            break;
        case QAccessible::Description:
            if (link()->accessibleDescription().isEmpty()) {
                const QString tip = link()->toolTip();
                if (keys.isEmpty()) return tip;
                const QString key = QStringLiteral("shortcut %1").arg(keys);
                return tip.isEmpty() ? key : QStringLiteral("%1 (%2)").arg(tip, key);
            }
            break;
        case QAccessible::Accelerator:
            return keys;
        default:
            break;
        }
        return QAccessibleWidget::text(t);
    }

    QStringList actionNames() const override {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override {
        if (action == pressAction())
            link()->click();
        else
            QAccessibleWidget::doAction(action);
    }

    QStringList keyBindingsForAction(const QString& action) const override {
        if (action == pressAction() && !link()->shortcut().isEmpty())
            return {link()->shortcut().toString(QKeySequence::NativeText)};
        return QAccessibleWidget::keyBindingsForAction(action);
    }

  private:
    LinkLabel* link() const { return static_cast<LinkLabel*>(widget()); }
};

QAccessibleInterface* accessibleLink(const QString&, QObject* object) {
    auto* link = qobject_cast<LinkLabel*>(object);
    return link ? new AccessibleLink(link) : nullptr;
}

} // namespace

LinkLabel::LinkLabel(QWidget* parent) : QLabel(parent) {
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(accessibleLink);
        return true;
    }();
    Q_UNUSED(factoryInstalled)
}

void LinkLabel::setShortcut(const QKeySequence& keys) {
    if (!shortcut_) {
        // Its window's, not its own: the label never has the focus.
        shortcut_ = new QShortcut(this);
        shortcut_->setContext(Qt::WindowShortcut);
        connect(shortcut_, &QShortcut::activated, this, &LinkLabel::click);
    }
    shortcut_->setKey(keys);
}

QKeySequence LinkLabel::shortcut() const { return shortcut_ ? shortcut_->key() : QKeySequence(); }

void LinkLabel::click() { emit clicked(); }

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    // A click is a release of the left button over the link.
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) click();
    QLabel::mouseReleaseEvent(event);
}

} // namespace ravelle
