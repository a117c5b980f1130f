#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// A database connection string: name=value pairs separated by ';'. Names are
// compared without regard to case, and a few keys are known under several
// names ("Server" is "Data Source", "UID" is "User ID", ...). A value may be
// enclosed in "...", '...' or {...} (the closing character doubled inside
// stands for itself), and so may contain ';'. A quote that is never closed
// is part of a plain value, which ends at the next ';' like any other.
//
// Only the pairs that are set or removed are written anew: every other pair
// keeps its text, its quoting and its place, so a string that is not changed
// comes back exactly as it was given.
class TConnectionString {
public:
    // The keys the connection string editor works with, as they are written
    // when a pair is added.
    static const QString Provider;            // "Provider"
    static const QString DataSource;          // "Data Source": Server, Address, Addr, Network Address
    static const QString InitialCatalog;      // "Initial Catalog": Database
    static const QString IntegratedSecurity;  // "Integrated Security": Trusted_Connection
    static const QString UserID;              // "User ID": UID, User
    static const QString Password;            // "Password": PWD

    TConnectionString() = default;
    explicit TConnectionString(const QString& text);

    QString ToString() const;

    // Whether the string holds at least one name=value pair.
    bool HasPairs() const;
    // The names of the pairs, as written, in order.
    QStringList Names() const;

    // Whether a pair of this key is present (under any of its names).
    bool Contains(const QString& name) const;
    // The value of the key, unquoted; the last pair counts when the key is
    // given twice. Empty when absent.
    QString Value(const QString& name) const;
    // Sets the value of the key in its last pair, under the name written
    // there, and drops earlier pairs of the same key; a key not present is
    // added at the end (before a trailing ';').
    void SetValue(const QString& name, const QString& value);
    // Removes every pair of the key.
    void Remove(const QString& name);

    // Whether the value of "Integrated Security" asks for Windows
    // authentication (SSPI, true, yes).
    bool IsIntegratedSecurity() const;

    // The value of a name as the import's login reads it: the text is split
    // at every ';' (blanks separate nothing, quotes mean nothing), the name
    // before the first '=' of a part is compared without regard to case but
    // otherwise exactly, and the value is the rest of the part, untrimmed.
    // None when no part has that name; the first such part counts.
    static std::optional<QString> PlainLookUp(const QString& text, const QString& name);

    // How a value is written: as it is, or enclosed in quotes when it could
    // not be read back otherwise.
    static QString QuoteValue(const QString& value);

    // What stands for a password where the string is shown.
    static const QString PasswordMask;
    // The string as written, with the value of every password pair (Password,
    // PWD, in any case) replaced by PasswordMask.
    QString MaskedPasswords() const;
    // A string shown with masked passwords and then edited, as it is to be
    // stored: unedited, the stored string exactly; edited, a password pair
    // still holding the mask keeps the stored password, a password typed
    // anew is taken.
    static QString Unmasked(const QString& edited, const QString& stored);

private:
    // One piece of the text between separators; a piece without '=' (blank or
    // not understood) is kept as it is.
    struct TSegment {
        QString Text;     // as written, or as written anew
        bool IsPair = false;
        QString Name;     // as written before '=' ("==" read as '='), trimmed
        QString RawName;  // the text before '=', untouched
        QString Value;    // unquoted
    };

    static QString Key(const QString& name);
    static bool IsPassword(const TSegment& segment);
    int LastIndexOf(const QString& name) const;

    QList<TSegment> FSegments;
};
