#include "TEditor.h"

#include "InvalidCellOption.h"
#include "StrUtils.h"
#include "TFldValModel.h"
#include "TFormat.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCompleter>
#include <QCoreApplication>
#include <QDate>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpressionValidator>

namespace {

enum class TControl { CodeList, Number, Date, Text };

// The control a field gets, tested in this order: a domain makes a pick-list
// whatever the kind.
TControl ControlFor(const TRule& Rule)
{
    if (Rule.ValSet)
        return TControl::CodeList;
    if (Rule.Kind == QLatin1Char('N'))
        return TControl::Number;
    if (Rule.Kind == QLatin1Char('D'))
        return TControl::Date;
    return TControl::Text;
}

// The text the control showed when it was filled; an untouched control stores nothing.
const char* const ShownTextProperty = "uvoShownText";
const QString DateMask = QStringLiteral("99.99.9999;_");

const TRule& RuleOf(const QModelIndex& index)
{
    return static_cast<const TFldValModel*>(index.model())->Rule(index.row());
}

// yyyymmdd as the mask's eight digits ddmmyyyy.
QString DateText(const QString& value) { return value.mid(6, 2) + value.mid(4, 2) + value.left(4); }

// The mask's eight positions without its dots, blanks included.
QString MaskDigits(const QLineEdit& box)
{
    const QString shown = box.displayText();
    return shown.left(2) + shown.mid(3, 2) + shown.mid(6, 4);
}

// ddmmyyyy to yyyymmdd when it names a calendar day, else empty.
QString DateValue(const QString& digits)
{
    // A blank left in the mask makes it incomplete.
    if (digits.size() != 8 || !StrIsDigits(digits))
        return {};
    const QString day = digits.mid(0, 2), month = digits.mid(2, 2), year = digits.mid(4, 4);
    // There is no year 0, so 0000 is refused with the impossible days.
    if (!QDate::isValid(year.toInt(), month.toInt(), day.toInt()))
        return {};
    return year + month + day;
}

QString NumberValue(const QString& text, int size)
{
    return text.trimmed().isEmpty() ? QString() : PadZeroLeft(text, size);
}

QString ControlText(QWidget* editor)
{
    if (auto* combo = qobject_cast<QComboBox*>(editor))
        return combo->currentText();
    auto* box = static_cast<QLineEdit*>(editor);
    return box->inputMask().isEmpty() ? box->text() : MaskDigits(*box);
}

// Enter while the codes that begin with the typed text are offered ends the
// edit with the text as typed, unless one of them was chosen in the list.
class TTypedTextOnEnter : public QObject {
public:
    explicit TTypedTextOnEnter(QComboBox* combo) : QObject(combo), FCombo(combo)
    {
        FCombo->completer()->popup()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        QAbstractItemView* popup = FCombo->completer()->popup();
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) || popup->currentIndex().isValid())
            return false;
        popup->hide();
        QKeyEvent enter(QEvent::KeyPress, key->key(), key->modifiers());
        QCoreApplication::sendEvent(FCombo, &enter);
        return true;
    }

private:
    QComboBox* FCombo;
};

QComboBox* NewCodeList(QWidget* parent, const TRule& rule)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QStringLiteral("cbValue"));
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setFrame(false);
    combo->setMaxVisibleItems(20);
    // Codes that begin with what was typed are offered in a list; what was
    // typed stays the text until one of them is chosen.
    combo->completer()->setCompletionMode(QCompleter::PopupCompletion);
    new TTypedTextOnEnter(combo);
    QFont font(QStringLiteral("Courier New"));
    font.setPixelSize(13);
    combo->setFont(font);
    for (const TVal* val : rule.ValSet->ValList)
        if (!val->Value.isEmpty())
            combo->addItem(val->Value + QLatin1Char(' ') + val->Name);
    return combo;
}

QLineEdit* NewBox(QWidget* parent, const char* name)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setFrame(false);
    return box;
}

bool IsListOpen(QWidget* editor)
{
    auto* combo = qobject_cast<QComboBox*>(editor);
    return combo && combo->view()->isVisible();
}

}  // namespace

TEditor::TEditor(QAbstractItemView* Tree) : QStyledItemDelegate(Tree), FTree(Tree) {}

void TEditor::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    KeepInvalidYellowWhenSelected(*option);
}

QWidget* TEditor::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const
{
    const TRule& rule = RuleOf(index);
    QWidget* editor = nullptr;
    switch (ControlFor(rule)) {
    case TControl::CodeList:
        editor = NewCodeList(parent, rule);
        break;
    case TControl::Number: {
        QLineEdit* box = NewBox(parent, "edNumber");
        box->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), box));
        editor = box;
        break;
    }
    case TControl::Date: {
        QLineEdit* box = NewBox(parent, "edDate");
        box->setInputMask(DateMask);
        editor = box;
        break;
    }
    case TControl::Text:
        editor = NewBox(parent, "edText");
        break;
    }
    FEdit = editor;
    emit EditStarted();
    return editor;
}

void TEditor::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    const TRule& rule = RuleOf(index);
    const QString value = index.data(Qt::EditRole).toString();
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        // The bare code, no line of the list chosen.
        combo->setCurrentIndex(-1);
        combo->setEditText(value);
    } else {
        auto* box = static_cast<QLineEdit*>(editor);
        if (ControlFor(rule) == TControl::Date) {
            box->setText(DateText(value));
        } else {
            // A longer value than the width (from another program) is shown whole, not cut.
            box->setMaxLength(qMax(rule.Size, int(value.size())));
            box->setText(value);
        }
    }
    editor->setProperty(ShownTextProperty, ControlText(editor));
}

void TEditor::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    const QString text = ControlText(editor);
    // Passing through a row must not rewrite a value the user did not touch
    // (a date the mask cannot show would be lost).
    if (text == editor->property(ShownTextProperty).toString())
        return;
    const TRule& rule = RuleOf(index);
    QString value;
    switch (ControlFor(rule)) {
    case TControl::CodeList:
        value = text.left(rule.Size);
        break;
    case TControl::Number:
        value = NumberValue(text, rule.Size);
        break;
    case TControl::Date:
        value = DateValue(text);
        break;
    case TControl::Text:
        value = text;
        break;
    }
    model->setData(index, value, Qt::EditRole);
}

void TEditor::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option, const QModelIndex&) const
{
    editor->setGeometry(option.rect);
}

void TEditor::destroyEditor(QWidget* editor, const QModelIndex& index) const
{
    if (editor == FEdit) {
        FEdit = nullptr;
        emit EditEnded();
    }
    QStyledItemDelegate::destroyEditor(editor, index);
}

void TEditor::EndOpenEdit()
{
    if (FEdit)
        EndEdit(FEdit);
}

void TEditor::EndEdit(QWidget* editor)
{
    emit commitData(editor);
    emit closeEditor(editor, QAbstractItemDelegate::NoHint);
}

bool TEditor::eventFilter(QObject* object, QEvent* event)
{
    auto* editor = qobject_cast<QWidget*>(object);
    if (editor && event->type() == QEvent::KeyPress && EditorKeyDown(editor, *static_cast<QKeyEvent*>(event)))
        return true;
    if (editor && event->type() == QEvent::KeyRelease && EditorKeyUp(editor, *static_cast<QKeyEvent*>(event)))
        return true;
    return QStyledItemDelegate::eventFilter(object, event);
}

bool TEditor::EditorKeyDown(QWidget* editor, const QKeyEvent& key)
{
    switch (key.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        EndEdit(editor);
        return true;
    case Qt::Key_Escape:
        // The edit is cancelled when the key is released.
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if ((key.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier || IsListOpen(editor))
            return false;
        // The grid moves to the neighbouring row once this key is handled; the
        // row change stores the value and the dialog opens the next editor.
        QCoreApplication::postEvent(FTree, new QKeyEvent(QEvent::KeyPress, key.key(), Qt::NoModifier));
        return true;
    default:
        return false;
    }
}

bool TEditor::EditorKeyUp(QWidget* editor, const QKeyEvent& key)
{
    if (key.key() != Qt::Key_Escape)
        return false;
    emit closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
    return true;
}
