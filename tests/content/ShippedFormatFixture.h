#pragma once

#include "FormatLoader.h"
#include "StrUtils.h"
#include "TContent.h"
#include "TFormat.h"

#include <QFile>

#include <gtest/gtest.h>

// The shipped format description, loaded once per test program, and a content
// list per test.
class ShippedFormatFixture : public ::testing::Test {
public:
    using TValues = std::initializer_list<std::pair<const char*, QString>>;

    // A record of the type with the given field values, appended to target.
    static TContentRec* MakeIn(TContent& target, const char* recId, TValues values = {})
    {
        auto rec = target.CreateNewOnRec(target.Format().GetRec(recId));
        EXPECT_TRUE(rec) << recId;
        rec->SetVal("310000", recId);
        for (const auto& [fldId, value] : values)
            rec->SetVal(fldId, value);
        rec->CalcSortStr();
        TContentRec* added = rec.get();
        target.Add(std::move(rec));
        return added;
    }

protected:
    static const TFormat& Format()
    {
        static const TFormat* format = [] {
            auto* loaded = new TFormat;
            QFile file(QStringLiteral(UVO_FORMAT_TEXT));
            if (!file.open(QIODevice::ReadOnly) || !FormatLoader::Load(file.readAll(), *loaded).Ok)
                ADD_FAILURE() << "the shipped format description did not load";
            return loaded;
        }();
        return *format;
    }

    const TRec* Type(const char* recId) { return Format().GetRec(recId); }

    // A record of the type with the given field values, appended to the list.
    TContentRec* Make(const char* recId, TValues values = {}) { return MakeIn(content, recId, values); }

    QStringList TypesInOrder() const
    {
        QStringList ids;
        for (const TContentRec* rec : content.Records())
            ids << rec->Rec->RecID;
        return ids;
    }

    // A line of the record type: the given values at their columns, blanks elsewhere.
    QString Line(const char* recId, std::initializer_list<std::pair<const char*, QString>> values = {})
    {
        auto rec = content.CreateNewOnRec(Type(recId));
        rec->SetVal("310000", recId);
        for (const auto& [fldId, value] : values)
            rec->SetVal(fldId, value);
        return rec->RecToString();
    }

    TContent content{Format()};
};
