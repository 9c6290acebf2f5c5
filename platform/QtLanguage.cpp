// One Qt translator for the process, chosen by the interface code page.
#include "QtLanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <memory>

namespace plat {

namespace {

struct Installed {
    std::string localeName;                     // the language in use; empty before the first call
    std::unique_ptr<QTranslator> translator;    // nullptr for English
};

Installed& Current() {
    static Installed installed;
    return installed;
}

}  // namespace

std::string QtLocaleNameOf(const std::string& uiCodePage) {
    if (uiCodePage == "936") return "zh_CN";
    if (uiCodePage == "950") return "zh_TW";
    return "en_US";
}

bool UseQtLanguage(const std::string& uiCodePage) {
    const std::string name = QtLocaleNameOf(uiCodePage);
    Installed& current = Current();
    QCoreApplication* app = QCoreApplication::instance();
    if (name == current.localeName && (current.translator || name == "en_US")) return true;
    QLocale::setDefault(QLocale(QString::fromStdString(name)));
    if (!app) return false;
    if (current.translator) app->removeTranslator(current.translator.get());
    current.translator.reset();
    current.localeName = name;
    if (name == "en_US") return true;
    auto translator = std::make_unique<QTranslator>();
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!translator->load(QString::fromStdString("qtbase_" + name), folder)) return false;
    app->installTranslator(translator.get());
    current.translator = std::move(translator);
    return true;
}

}  // namespace plat
