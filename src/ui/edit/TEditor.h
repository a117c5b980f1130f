#pragma once

#include <QPointer>
#include <QStyledItemDelegate>

class QAbstractItemView;
// The in-place editor of the edit dialog's value column. For each edit it
// makes the control that suits the field's rule: a typeable pick-list of the
// domain's codes, a digits-only box for numbers, a dd.mm.yyyy mask for dates,
// a plain box otherwise. It turns the control's text back into the data-file
// form (codes cut to the width, numbers zero-filled, dates yyyymmdd) and stores
// it in the row's working value only, never in the record.
//
// Keys: Enter stores; Esc cancels on its release; Up and Down store and move to
// the neighbouring row (the pick-list keeps them while its list is open).
class TEditor : public QStyledItemDelegate {
    Q_OBJECT
public:
    // Tree is the grid being edited; the neighbouring-row keys go to it.
    explicit TEditor(QAbstractItemView* Tree);

    bool IsEditing() const { return !FEdit.isNull(); }
    // Ends the open edit as Enter would: the control's text is stored.
    void EndOpenEdit();

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void destroyEditor(QWidget* editor, const QModelIndex& index) const override;

signals:
    void EditStarted() const;
    void EditEnded() const;

protected:
    bool eventFilter(QObject* object, QEvent* event) override;
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    void EndEdit(QWidget* editor);
    bool EditorKeyDown(QWidget* editor, const QKeyEvent& key);
    bool EditorKeyUp(QWidget* editor, const QKeyEvent& key);

    QAbstractItemView* FTree;
    mutable QPointer<QWidget> FEdit;  // the control of the open edit, none between edits
};
