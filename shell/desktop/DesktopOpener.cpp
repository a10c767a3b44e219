#include "shell/desktop/DesktopOpener.h"

#include "core/entity/EntityInfo.h"
#include "shell/password/PasswordDlg.h"

std::unique_ptr<TEntityInfo> TDesktopOpener::Create(const QString& fileCode, const TOptionSet& options) {
    return TEntityInfo::Create(fileCode, options);
}

void TDesktopOpener::OpenYear(TEntityInfo& file) {
    file.OpenYear();
}

std::optional<QString> TDesktopOpener::AskPassword(const TEntityDetail& detail) {
    return TPasswordDlg::Ask(detail, TPasswordDlg::Access, Parent.data());
}
