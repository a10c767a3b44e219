#include "core/accounts/AccountGroups.h"

#include "core/accounts/AccountFormat.h"
#include "core/common/Exceptions.h"

#include <QStringList>

#include <algorithm>
#include <limits>

namespace {

// Until a group is added there is no lowest account: any account number is lower than this.
constexpr qint32 NoLowestAccount = std::numeric_limits<qint32>::max();
constexpr qint32 NoHighestAccount = -1;

const QString kAll = QStringLiteral("ALL");

} // namespace

TAccountGroups::TAccountGroups(const TAccountFormat* format, bool sorted)
    : Format(format), LowestAccount(NoLowestAccount), IsSorted(sorted) {}

TAccountGroups::~TAccountGroups() = default;

void TAccountGroups::Clear() {
    Items.clear();
    LowestKey.clear();
    HighestKey.clear();
    LowestAccount = NoLowestAccount;
    HighestAccount = NoHighestAccount;
}

bool TAccountGroups::AddGroup(const QString& key, std::unique_ptr<TAccountGroup> group) {
    if (!group)
        return false;
    auto position = Items.end();
    if (IsSorted) {
        position = std::lower_bound(Items.begin(), Items.end(), key, [](const TItem& item, const QString& k) {
            return QString::compare(item.Key, k, Qt::CaseInsensitive) < 0;
        });
        if (position != Items.end() && QString::compare(position->Key, key, Qt::CaseInsensitive) == 0)
            return false;
    }
    const int fromAccount = GetAccountCodePart(group->FromCode(), AccountPart);
    const int toAccount = GetAccountCodePart(group->ToCode(), AccountPart);
    if (fromAccount < LowestAccount) {
        LowestAccount = fromAccount;
        LowestKey = group->FromKey();
    }
    if (toAccount > HighestAccount) {
        HighestAccount = toAccount;
        HighestKey = group->ToKey();
    }
    Items.insert(position, TItem{key, std::move(group)});
    return true;
}

void TAccountGroups::Assign(const TAccountGroups& source) {
    if (&source == this)
        return;
    // The format belongs to the program settings and is shared by every file of that format, so
    // the copy takes the source's format rather than copying a layout into the shared object.
    Format = source.Format;
    Clear();
    for (const TItem& item : source.Items) {
        auto group = std::make_unique<TAccountGroup>(item.Group->Description, item.Group->FromCode(), Format);
        group->Assign(*item.Group);
        const QString key = group->Description;
        AddGroup(key, std::move(group));
    }
    LowestKey = source.LowestKey;
    HighestKey = source.HighestKey;
    LowestAccount = source.LowestAccount;
    HighestAccount = source.HighestAccount;
}

TAccountGroup* TAccountGroups::GetGroup(int index) const {
    if (index < 0 || index >= Count())
        return nullptr;
    return Items[std::size_t(index)].Group.get();
}

QString TAccountGroups::GetKey(int index) const {
    if (index < 0 || index >= Count())
        return QString();
    return Items[std::size_t(index)].Key;
}

int TAccountGroups::IndexOf(const QString& key) const {
    for (std::size_t i = 0; i < Items.size(); ++i)
        if (QString::compare(Items[i].Key, key, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    return -1;
}

TAccountCode TAccountGroups::GetFromCode(int index) const {
    const TAccountGroup* group = GetGroup(index);
    return group ? group->FromCode() : TAccountCode::Empty();
}

QString TAccountGroups::GetFromCodeText(int index) const {
    const TAccountGroup* group = GetGroup(index);
    return group && Format ? Format->FormatCode(group->FromCode()) : QString();
}

bool TAccountGroups::GroupContains(const TAccountCode& code, int index) const {
    const TAccountGroup* group = GetGroup(index);
    return group && group->Contains(code);
}

bool TAccountGroups::Contains(const TAccountCode& code) const {
    return std::any_of(Items.begin(), Items.end(),
                       [&](const TItem& item) { return item.Group->Contains(code); });
}

bool TAccountGroups::Overlaps(const TAccountGroups* other) const {
    if (!other)
        return false;
    // Two ranges overlap when each begins no later than the other ends; this also catches one
    // range lying wholly inside the other, whichever list holds it.
    for (const TItem& a : Items)
        for (const TItem& b : other->Items)
            if (QString::compare(b.Group->FromKey(), a.Group->ToKey(), Qt::CaseSensitive) <= 0 &&
                QString::compare(a.Group->FromKey(), b.Group->ToKey(), Qt::CaseSensitive) <= 0)
                return true;
    return false;
}

QString TAccountGroups::AsText() const {
    QStringList texts;
    for (const TItem& item : Items)
        texts.append(FormatGroup(Format, *item.Group, false));
    return texts.join(u',');
}

void TAccountGroups::SetGroupDescriptions(const QString& text, int rangeKind) {
    const QString trimmed = text.trimmed();
    auto describe = [](const QString& description) {
        return description.isEmpty() ? QStringLiteral("<Blank>") : description;
    };
    if (rangeKind == 7) {
        const QStringList fields = trimmed.split(u',');
        for (std::size_t i = 0; i < Items.size(); ++i) {
            const QString field = qsizetype(i) < fields.size() ? fields[qsizetype(i)].trimmed() : QString();
            Items[i].Group->Description = describe(field);
        }
    } else if (rangeKind == 8) {
        if (!Items.empty())
            Items.front().Group->Description = describe(trimmed);
    }
}

bool ParseRangeItem(const TAccountFormat* format, const QString& description, QString& text,
                    std::unique_ptr<TAccountGroup>& group) {
    group.reset();
    if (!format)
        return false;
    try {
        const bool isAll =
            description.compare(kAll, Qt::CaseInsensitive) == 0 || text.toUpper().contains(kAll);
        const TAccountGroup* allRange = format->AllRange();
        // "ALL" means the format's whole range, so it can only be taken that way once the format
        // has one; until then (while the "ALL" range itself is being read) the text is codes.
        if (isAll && allRange) {
            text = kAll;
            group = std::make_unique<TAccountGroup>(kAll, allRange->FromCode(), format);
            group->SetToCode(allRange->ToCode());
            return true;
        }

        QString item;
        const qsizetype comma = text.indexOf(u',');
        if (comma >= 0) {
            item = text.left(comma);
            text.remove(0, comma + 1);
        } else {
            item = text;
            text.clear();
        }

        TAccountCode fromCode;
        TAccountCode toCode;
        bool ok;
        const qsizetype to = item.indexOf(QStringLiteral("to"));
        if (to >= 0) {
            ok = format->TextToCode(item.left(to), fromCode, false, true);
            if (ok)
                ok = format->TextToCode(item.mid(to + 2), toCode, false, true);
        } else {
            ok = format->TextToCode(item, fromCode, false, true);
            toCode = fromCode;
        }
        if (!ok)
            return false;
        group = std::make_unique<TAccountGroup>(description, fromCode, format);
        group->SetToCode(toCode);
        return true;
    } catch (const EQuilvaneError&) {
        group.reset();
        return false;
    }
}

bool Parse(const TAccountFormat* format, QString& text, bool allowList,
           std::unique_ptr<TAccountGroups>& groups) {
    groups = std::make_unique<TAccountGroups>(format);
    // Without a format no code can be read: the text stays as it is and nothing is parsed.
    if (!format)
        return text.isEmpty();
    bool result = true;
    try {
        while (!text.isEmpty()) {
            std::unique_ptr<TAccountGroup> group;
            result = ParseRangeItem(format, QString(), text, group) && result;
            if (group) {
                if (!allowList)
                    group->SetToCode(group->FromCode());
                group->Description = FormatGroup(format, *group, false);
                const QString key = group->Description;
                groups->AddGroup(key, std::move(group));
            }
            if (text == kAll || !allowList)
                break;
        }
        QStringList keys;
        for (int i = 0; i < groups->Count(); ++i)
            keys.append(groups->GetKey(i).trimmed());
        text = keys.join(u',');
        return result;
    } catch (const EQuilvaneError&) {
        groups.reset();
        return false;
    }
}

QString FormatGroup(const TAccountFormat* format, const TAccountGroup& group, bool useDescription) {
    if (useDescription)
        return group.Description;
    if (!format)
        return QString();
    QString text = format->FormatCode(group.FromCode());
    if (!CodePartsEqual(group.FromCode(), group.ToCode()))
        text += QStringLiteral(" to ") + format->FormatCode(group.ToCode());
    return text;
}
