#include "config/Settings.h"

#include "config/IniFile.h"
#include "support/Platform.h"

#include <QDate>
#include <QRegularExpression>
#include <array>
#include <variant>

namespace {

enum class Kind {
    Text,    // text edit; the fallback stands in for an empty value
    Date,    // date edit "DD/MM/AAAA"; the fallback stands in for an empty value
    Switch,  // check box "SIM"/"NAO"; fallback "SIM": off only for "NAO", "NAO": on only for "SIM"
    Numeric, // numeric edit; the fallback stands in for a value of 0 (none when empty)
};

using Member = std::variant<QString TConfig::*, bool TConfig::*, TNumericEdit TConfig::*>;

struct Setting {
    const char* key;
    Kind kind;
    const char* fallback;
    Member member;
};

// The nineteen keys, in the order the save writes them.
const std::array<Setting, 19> Settings{{
    {"PATH DOLVEX", Kind::Text, "", &TConfig::pathBDDolvex},
    {"IDEMRPESA", Kind::Text, "", &TConfig::idEmpresa},
    {"IDLOCAL", Kind::Text, "", &TConfig::idLocal},
    {"USUARIO", Kind::Text, "", &TConfig::usuario},
    {"SENHA", Kind::Text, "", &TConfig::senha},
    {"URLBASE", Kind::Text, "", &TConfig::urlBase},
    {"URLBASE2", Kind::Text, "", &TConfig::urlBase2},
    {"URLBASE3", Kind::Text, "", &TConfig::urlBase3},
    {"URLBASE4", Kind::Text, "", &TConfig::urlBase4},
    {"chkCodEmpDolvex", Kind::Switch, "NAO", &TConfig::chkCodEmpDolvex},
    {"chkPostVenda", Kind::Switch, "SIM", &TConfig::chkPostVenda},
    {"chkGetPromo", Kind::Switch, "SIM", &TConfig::chkGetPromo},
    {"edtcodempdolvex", Kind::Numeric, "", &TConfig::edtcodempdolvex},
    {"edtApelidoEmp", Kind::Text, "", &TConfig::edtApelidoEmp},
    {"timerProm", Kind::Numeric, "300", &TConfig::timerProm},
    {"timerReenvio", Kind::Numeric, "600", &TConfig::timerReenvio},
    {"timerFecha", Kind::Numeric, "660", &TConfig::timerFecha},
    {"timerVenda", Kind::Numeric, "90", &TConfig::timerVenda},
    {"DataUltFecha", Kind::Date, TConfig::DefaultDataUltFecha, &TConfig::edtDataUltFecha},
}};

QString yes() {
    return QStringLiteral("SIM");
}
QString no() {
    return QStringLiteral("NAO");
}
QString section() {
    return QString::fromLatin1(TConfig::Section);
}

// What the date edit shows for a text: a date written with one-digit day or month
// ("5/3/2023") in its full form ("05/03/2023"); any other text as it is.
QString asDateEdit(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^(\\d{1,2})/(\\d{1,2})/(\\d{4})$"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch()) return text;
    const QDate date(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt());
    return date.isValid() ? date.toString(QStringLiteral("dd/MM/yyyy")) : text;
}

void load(TConfig& config, const Setting& s, const QString& stored) {
    const QString fallback = QString::fromLatin1(s.fallback);
    switch (s.kind) {
    case Kind::Text:
        config.*std::get<QString TConfig::*>(s.member) = stored.isEmpty() ? fallback : stored;
        break;
    case Kind::Date:
        config.*std::get<QString TConfig::*>(s.member) = asDateEdit(stored.isEmpty() ? fallback : stored);
        break;
    case Kind::Switch:
        config.*std::get<bool TConfig::*>(s.member) = fallback == yes() ? stored != no() : stored == yes();
        break;
    case Kind::Numeric: {
        TNumericEdit& edit = config.*std::get<TNumericEdit TConfig::*>(s.member);
        edit.setText(stored);
        if (!fallback.isEmpty() && edit.value() == 0) edit.setText(fallback);
        break;
    }
    }
}

QString stored(const TConfig& config, const Setting& s) {
    switch (s.kind) {
    case Kind::Text:
    case Kind::Date:
        return config.*std::get<QString TConfig::*>(s.member);
    case Kind::Switch:
        return config.*std::get<bool TConfig::*>(s.member) ? yes() : no();
    case Kind::Numeric:
        return (config.*std::get<TNumericEdit TConfig::*>(s.member)).text();
    }
    return {};
}

} // namespace

TConfig::TConfig(QObject* parent) : TConfig(QString(), parent) {}

TConfig::TConfig(const QString& iniPath, QObject* parent) : QObject(parent), m_iniPath(iniPath) {
    // Until the first load the members hold what a load of no file gives.
    const IniText empty;
    for (const Setting& s : Settings)
        load(*this, s, empty.value(section(), QString::fromLatin1(s.key)));
}

QString TConfig::iniPath() const {
    return m_iniPath.isEmpty() ? platform::baseDir() + QString::fromLatin1(FileName) : m_iniPath;
}

void TConfig::LoadConfig() {
    const IniText file = IniFile(iniPath()).load();
    for (const Setting& s : Settings)
        load(*this, s, file.value(section(), QString::fromLatin1(s.key)));
    emit changed();
}

void TConfig::Save() {
    const IniFile file(iniPath());
    for (const Setting& s : Settings)
        file.writeString(section(), QString::fromLatin1(s.key), stored(*this, s));
}

void TConfig::SalvaUltFecha(const QString& DataIn) {
    edtDataUltFecha = asDateEdit(DataIn);
    try {
        const IniFile file(iniPath());
        // Each register of a closed day stores the same day: the file is
        // rewritten (and flushed to disk) only when it changes.
        if (file.readString(section(), QStringLiteral("DataUltFecha")) != edtDataUltFecha)
            file.writeString(section(), QStringLiteral("DataUltFecha"), edtDataUltFecha);
    } catch (...) {
        emit changed();
        throw;
    }
    emit changed();
}
