#include "core/entity/DesktopFiles.h"

#include "core/entity/EntityDetail.h"
#include "core/entity/EntityInfo.h"

TDesktopFiles::~TDesktopFiles() = default;

TEntityInfo* TDesktopFiles::File(int index) const {
    return index >= 0 && index < Count() ? Files[static_cast<size_t>(index)].File.get() : nullptr;
}

QString TDesktopFiles::Code(int index) const {
    return File(index) ? Files[static_cast<size_t>(index)].Code : QString();
}

int TDesktopFiles::IndexOf(const QString& fileCode) const {
    for (int i = 0; i < Count(); ++i)
        if (Files[static_cast<size_t>(i)].Code.compare(fileCode, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int TDesktopFiles::Add(std::unique_ptr<TEntityInfo>& file) {
    const QString code = file->EntityDetail().FileCode;
    if (IsFull() || IndexOf(code) >= 0)
        return -1;
    Files.push_back(TEntry{code, std::move(file)});
    const int index = Count() - 1;
    Active = index;
    return index;
}

std::unique_ptr<TEntityInfo> TDesktopFiles::Remove(int index) {
    if (!File(index))
        return nullptr;
    const auto at = Files.begin() + index;
    std::unique_ptr<TEntityInfo> file = std::move(at->File);
    Files.erase(at);
    Active = Files.empty() ? -1 : 0;
    return file;
}

bool TDesktopFiles::Rename(int index, const QString& fileCode) {
    const int holder = IndexOf(fileCode);
    if (!File(index) || (holder >= 0 && holder != index))
        return false;
    Files[static_cast<size_t>(index)].Code = fileCode;
    return true;
}

void TDesktopFiles::SetActiveIndex(int index) {
    Active = File(index) ? index : -1;
}
