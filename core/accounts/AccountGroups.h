#pragma once

#include "core/accounts/AccountGroup.h"

#include <QString>

#include <memory>
#include <vector>

class TAccountFormat;

// A keyed list of account groups: the range types of an account format, or a selection of
// accounts typed by the user. Keys compare without regard to case. A sorted list keeps its keys
// in order and ignores a key it already holds; an unsorted one keeps the order of adding.
class TAccountGroups {
public:
    explicit TAccountGroups(const TAccountFormat* format, bool sorted = false);
    ~TAccountGroups();
    TAccountGroups(const TAccountGroups&) = delete;
    TAccountGroups& operator=(const TAccountGroups&) = delete;

    // Frees the groups and forgets the lowest and highest accounts.
    void Clear();

    // Adds the group under the key (taking it over) and widens the lowest and highest accounts.
    // False when a sorted list already holds the key; the group is then dropped.
    bool AddGroup(const QString& key, std::unique_ptr<TAccountGroup> group);

    // Makes this list a copy of the source, groups keyed by their descriptions, with the source's
    // format.
    void Assign(const TAccountGroups& source);

    int Count() const { return static_cast<int>(Items.size()); }
    TAccountGroup* GetGroup(int index) const;
    QString GetKey(int index) const;
    int IndexOf(const QString& key) const;
    TAccountCode GetFromCode(int index) const;
    QString GetFromCodeText(int index) const;
    bool GroupContains(const TAccountCode& code, int index) const;

    bool Contains(const TAccountCode& code) const;
    bool Overlaps(const TAccountGroups* other) const;
    QString AsText() const;

    // Range kind 7: the groups in order take the comma-separated fields of the text; range kind 8:
    // the first group takes the whole text. An empty description becomes "<Blank>".
    void SetGroupDescriptions(const QString& text, int rangeKind);

    bool Sorted() const { return IsSorted; }

    const TAccountFormat* Format = nullptr;
    QString LowestKey;
    QString HighestKey;
    qint32 LowestAccount;
    qint32 HighestAccount = -1;

private:
    struct TItem {
        QString Key;
        std::unique_ptr<TAccountGroup> Group;
    };
    std::vector<TItem> Items;
    bool IsSorted = false;
};

// Range texts of an account format: "ALL", or codes and "from to to" ranges separated by ",".

// Parses the first item of Text (removing it) into a new group described by Description.
bool ParseRangeItem(const TAccountFormat* format, const QString& description, QString& text,
                    std::unique_ptr<TAccountGroup>& group);

// Parses the whole text into a new list of groups (only its first item unless AllowList) and
// rewrites Text in its normalised form. On failure the groups parsed so far are kept. Without a
// format no code can be read: a text that is not empty gives false and stays as it is.
bool Parse(const TAccountFormat* format, QString& text, bool allowList,
           std::unique_ptr<TAccountGroups>& groups);

// The group's description, or its bounds as "from to to" (one code when they are equal).
QString FormatGroup(const TAccountFormat* format, const TAccountGroup& group, bool useDescription);
