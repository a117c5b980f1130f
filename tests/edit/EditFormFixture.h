#pragma once

#include "FormatLoader.h"
#include "TContent.h"
#include "TEditForm.h"
#include "TEditor.h"
#include "TFldValModel.h"
#include "TFormat.h"

#include <QApplication>
#include <QFile>
#include <QPointer>
#include <QTableView>
#include <QtTest>

#include <initializer_list>
#include <memory>
#include <utility>

// The edit dialog shown for one record of the shipped format description and
// driven like a user: rows clicked, keys typed into the focused control.
class TEditFormFixture {
public:
    static const TFormat& Format()
    {
        static const TFormat* format = [] {
            auto* loaded = new TFormat;
            QFile file(QStringLiteral(UVO_FORMAT_TEXT));
            if (!file.open(QIODevice::ReadOnly) || !FormatLoader::Load(file.readAll(), *loaded).Ok)
                qFatal("the shipped format description did not load");
            return loaded;
        }();
        return *format;
    }

    // A fresh record of the type with the given values; the rest empty.
    static std::unique_ptr<TContentRec> NewRec(const char* recId,
                                               std::initializer_list<std::pair<const char*, QString>> values = {})
    {
        static const TContent content(Format());
        auto rec = content.CreateNewOnRec(Format().GetRec(QLatin1String(recId)));
        rec->SetVal(QStringLiteral("310000"), QLatin1String(recId));
        for (const auto& [fldId, value] : values)
            rec->SetVal(QLatin1String(fldId), value);
        return rec;
    }

    ~TEditFormFixture() { delete Form.data(); }

    // Makes Rec a fresh record of the type with the values and shows the dialog for it.
    bool Open(const char* recId, std::initializer_list<std::pair<const char*, QString>> values = {})
    {
        Rec = NewRec(recId, values);
        return Open(*Rec);
    }

    // Shows the dialog for Rec and waits until it is active.
    bool Open(TContentRec& rec)
    {
        Form = CreateEditForm(nullptr, QStringLiteral("Запись - Изменить"), &rec);
        QObject::connect(Form, &QDialog::finished, [this](int result) { Result = result; });
        Form->show();
        return QTest::qWaitForWindowActive(Form);
    }

    TFldValModel& Rows() const { return *Form->Rows; }

    int RowOf(const char* fldId) const
    {
        for (int row = 0; row < Rows().rowCount(); ++row)
            if (Rows().Rule(row).FldID() == QLatin1String(fldId))
                return row;
        return -1;
    }

    const TFldVal& Row(const char* fldId) const { return Rows().Row(RowOf(fldId)); }

    QPoint CellCentre(int row, int column) const
    {
        return Form->EditVT->visualRect(Rows().index(row, column)).center();
    }

    void ClickCell(int row, int column) const
    {
        Form->EditVT->scrollTo(Rows().index(row, column));
        QTest::mouseClick(Form->EditVT->viewport(), Qt::LeftButton, {}, CellCentre(row, column));
    }

    // A click on the field's value, which selects its row or, on the selected
    // row, opens its editor again; waits for the editor.
    QWidget* StartEditing(const char* fldId) const
    {
        ClickCell(RowOf(fldId), TFldValModel::ValueColumn);
        return WaitForEditor();
    }

    QWidget* WaitForEditor() const
    {
        if (!QTest::qWaitFor([this] { return Form->Editor->IsEditing(); }))
            return nullptr;
        return QApplication::focusWidget();
    }

    // A key, with modifiers, pressed and released on the focused control.
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const
    {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
        QCoreApplication::processEvents();
    }

    void Type(const QString& text) const { QTest::keyClicks(QApplication::focusWidget(), text); }

    // Replaces the focused control's text by typing.
    void Retype(const QString& text) const
    {
        Key(Qt::Key_A, Qt::ControlModifier);
        Key(Qt::Key_Delete);
        Key(Qt::Key_Home);
        Type(text);
    }

    // Edits the field: its row selected, the text retyped, Enter pressed.
    void Store(const char* fldId, const QString& text) const
    {
        QVERIFY(StartEditing(fldId));
        Retype(text);
        Key(Qt::Key_Return);
    }

    std::unique_ptr<TContentRec> Rec;
    QPointer<TEditForm> Form;
    int Result = -1;  // the dialog's result once it has closed
};
