// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
#include "common/accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFontMetrics>
#include <QLineEdit>

#include "common/link_label.h"

namespace ravelle {

namespace {

// A link: the label's text as its name, the tooltip and the keys as its
// description, and one action, "press", which the Windows bridge offers as
// UI Automation's Invoke.
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

// An input box, as Qt's own line-edit interface presents it but for two
// faults of that one: it reports every character as a text run of its own,
// so that a screen reader that speaks the text run by run drops the last
// digit ("8" for 86), and asking it for the word at the end of the text
// never returns. The boxes hold plain, unformatted numbers.
class AccessibleBox : public QAccessibleWidget,
                      public QAccessibleTextInterface,
                      public QAccessibleEditableTextInterface {
  public:
    explicit AccessibleBox(QLineEdit* box) : QAccessibleWidget(box, QAccessible::EditableText) {}

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        if (t == QAccessible::EditableTextInterface)
            return static_cast<QAccessibleEditableTextInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Value ? box()->text() : QAccessibleWidget::text(t);
    }
    void setText(QAccessible::Text t, const QString& text) override {
        if (t == QAccessible::Value)
            box()->setText(text);
        else
            QAccessibleWidget::setText(t, text);
    }
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.editable = true;
        state.readOnly = box()->isReadOnly();
        state.selectableText = true;
        return state;
    }

    // The text.
    QString text(int startOffset, int endOffset) const override {
        return startOffset > endOffset ? QString()
                                       : box()->text().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return int(box()->text().size()); }
    QString attributes(int, int* startOffset, int* endOffset) const override {
        // One run, without attributes, over the whole text.
        *startOffset = 0;
        *endOffset = characterCount();
        return {};
    }
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundary, int* startOffset,
                         int* endOffset) const override {
        offset = caretFor(offset);
        // At the end the word or sentence is the one that ends there.
        if (offset == characterCount() && offset > 0 &&
            (boundary == QAccessible::WordBoundary || boundary == QAccessible::SentenceBoundary))
            --offset;
        return QAccessibleTextInterface::textAtOffset(offset, boundary, startOffset, endOffset);
    }
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundary, int* startOffset,
                             int* endOffset) const override {
        return QAccessibleTextInterface::textBeforeOffset(caretFor(offset), boundary, startOffset,
                                                          endOffset);
    }
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundary, int* startOffset,
                            int* endOffset) const override {
        return QAccessibleTextInterface::textAfterOffset(caretFor(offset), boundary, startOffset,
                                                         endOffset);
    }

    // The caret and the selection.
    int cursorPosition() const override { return box()->cursorPosition(); }
    void setCursorPosition(int position) override { box()->setCursorPosition(position); }
    int selectionCount() const override { return box()->hasSelectedText() ? 1 : 0; }
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override {
        *startOffset = *endOffset = 0;
        if (selectionIndex != 0 || !box()->hasSelectedText()) return;
        *startOffset = box()->selectionStart();
        *endOffset = box()->selectionEnd();
    }
    void setSelection(int selectionIndex, int startOffset, int endOffset) override {
        if (selectionIndex == 0) box()->setSelection(startOffset, endOffset - startOffset);
    }
    void addSelection(int startOffset, int endOffset) override {
        setSelection(0, startOffset, endOffset);
    }
    void removeSelection(int selectionIndex) override {
        if (selectionIndex == 0) box()->deselect();
    }

    // Where the characters are on the screen, found from the caret, whose
    // place Qt knows (margins, scrolling), and the widths in between.
    QRect characterRect(int offset) const override {
        const QString text = box()->text();
        if (offset < 0 || offset >= text.size()) return {};
        const QFontMetrics metrics(box()->font());
        // The rectangle an input method is given is centred on the caret.
        const QRect caret = box()->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        const int caretAt = box()->cursorPosition();
        const int x = caret.center().x() + metrics.horizontalAdvance(text.left(offset)) -
                      metrics.horizontalAdvance(text.left(caretAt));
        const QRect rect(x, caret.y(), metrics.horizontalAdvance(text.mid(offset, 1)),
                         caret.height());
        return rect.translated(box()->mapToGlobal(QPoint(0, 0)));
    }
    int offsetAtPoint(const QPoint& point) const override {
        return box()->cursorPositionAt(box()->mapFromGlobal(point));
    }
    void scrollToSubstring(int startIndex, int endIndex) override {
        box()->setCursorPosition(endIndex);
        box()->setCursorPosition(startIndex);
    }

    // Editing, as typing would.
    void deleteText(int startOffset, int endOffset) override {
        box()->setText(box()->text().remove(startOffset, endOffset - startOffset));
    }
    void insertText(int offset, const QString& text) override {
        box()->setText(box()->text().insert(offset, text));
    }
    void replaceText(int startOffset, int endOffset, const QString& text) override {
        box()->setText(box()->text().replace(startOffset, endOffset - startOffset, text));
    }

  private:
    QLineEdit* box() const { return static_cast<QLineEdit*>(widget()); }
    // By convention -2 asks at the caret.
    int caretFor(int offset) const { return offset == -2 ? cursorPosition() : offset; }
};

QAccessibleInterface* ravelleInterface(const QString& className, QObject* object) {
    if (auto* link = qobject_cast<LinkLabel*>(object)) return new AccessibleLink(link);
    // Exactly the boxes, not a widget built on a line edit (a spin box's).
    if (className == QLatin1String("QLineEdit"))
        return new AccessibleBox(static_cast<QLineEdit*>(object));
    return nullptr;
}

} // namespace

void useAccessibleInterfaces() {
    static const bool installed = [] {
        QAccessible::installFactory(ravelleInterface);
        return true;
    }();
    Q_UNUSED(installed)
}

} // namespace ravelle
