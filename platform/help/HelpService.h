#pragma once

#include "core/services/Help.h"

#include <QString>
#include <functional>

// Help by context number. A topic is a page "<context>.html" in the shipped help folder; it
// opens in the desktop's browser. A context with no page gets an information box saying that
// help for the topic is not installed.
class THelpService : public IHelp {
public:
    using TOpener = std::function<bool(const QString& path)>;

    // The folder of the help pages; the opener shows a page (the desktop's browser by default).
    explicit THelpService(QString folder, TOpener opener = {});

    void ShowContext(int context) override;

    // The page of a context, or empty when none is installed.
    QString PageForContext(int context) const;

    // The shipped help folder beside the program.
    static QString DefaultFolder();

private:
    QString Folder;
    TOpener Opener;
};
