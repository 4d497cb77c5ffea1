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

using Member = std::variant<QString ConfigValues::*, bool ConfigValues::*, TNumericValue ConfigValues::*>;

struct Setting {
    const char* key;
    Kind kind;
    const char* fallback;
    Member member;
};

// The nineteen keys, in the order the save writes them.
const std::array<Setting, 19> Settings{{
    {"PATH DOLVEX", Kind::Text, "", &ConfigValues::pathBDDolvex},
    {"IDEMRPESA", Kind::Text, "", &ConfigValues::idEmpresa},
    {"IDLOCAL", Kind::Text, "", &ConfigValues::idLocal},
    {"USUARIO", Kind::Text, "", &ConfigValues::usuario},
    {"SENHA", Kind::Text, "", &ConfigValues::senha},
    {"URLBASE", Kind::Text, "", &ConfigValues::urlBase},
    {"URLBASE2", Kind::Text, "", &ConfigValues::urlBase2},
    {"URLBASE3", Kind::Text, "", &ConfigValues::urlBase3},
    {"URLBASE4", Kind::Text, "", &ConfigValues::urlBase4},
    {"chkCodEmpDolvex", Kind::Switch, "NAO", &ConfigValues::usaCodEmpDolvex},
    {"chkPostVenda", Kind::Switch, "SIM", &ConfigValues::postaVendas},
    {"chkGetPromo", Kind::Switch, "SIM", &ConfigValues::buscaPromocoes},
    {"edtcodempdolvex", Kind::Numeric, "", &ConfigValues::codEmpDolvex},
    {"edtApelidoEmp", Kind::Text, "", &ConfigValues::apelidoEmp},
    {"timerProm", Kind::Numeric, "300", &ConfigValues::timerProm},
    {"timerReenvio", Kind::Numeric, "600", &ConfigValues::timerReenvio},
    {"timerFecha", Kind::Numeric, "660", &ConfigValues::timerFecha},
    {"timerVenda", Kind::Numeric, "90", &ConfigValues::timerVenda},
    {"DataUltFecha", Kind::Date, TConfig::DefaultDataUltFecha, &ConfigValues::dataUltFecha},
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

void load(ConfigValues& values, const Setting& s, const QString& stored) {
    const QString fallback = QString::fromLatin1(s.fallback);
    switch (s.kind) {
    case Kind::Text:
        values.*std::get<QString ConfigValues::*>(s.member) = stored.isEmpty() ? fallback : stored;
        break;
    case Kind::Date:
        values.*std::get<QString ConfigValues::*>(s.member) =
            asDateEdit(stored.isEmpty() ? fallback : stored);
        break;
    case Kind::Switch:
        values.*std::get<bool ConfigValues::*>(s.member) =
            fallback == yes() ? stored != no() : stored == yes();
        break;
    case Kind::Numeric: {
        TNumericValue& number = values.*std::get<TNumericValue ConfigValues::*>(s.member);
        number.setText(stored);
        if (!fallback.isEmpty() && number.value() == 0) number.setText(fallback);
        break;
    }
    }
}

QString stored(const ConfigValues& values, const Setting& s) {
    switch (s.kind) {
    case Kind::Text:
    case Kind::Date:
        return values.*std::get<QString ConfigValues::*>(s.member);
    case Kind::Switch:
        return values.*std::get<bool ConfigValues::*>(s.member) ? yes() : no();
    case Kind::Numeric:
        return (values.*std::get<TNumericValue ConfigValues::*>(s.member)).text();
    }
    return {};
}

} // namespace

TConfig::TConfig(QObject* parent) : TConfig(QString(), parent) {}

TConfig::TConfig(const QString& iniPath, QObject* parent) : QObject(parent), m_iniPath(iniPath) {
    // Until the first load the values are what a load of no file gives.
    const IniText empty;
    for (const Setting& s : Settings)
        load(m_values, s, empty.value(section(), QString::fromLatin1(s.key)));
}

QString TConfig::iniPath() const {
    return m_iniPath.isEmpty() ? platform::baseDir() + QString::fromLatin1(FileName) : m_iniPath;
}

void TConfig::LoadConfig() {
    const IniText file = IniFile(iniPath()).load();
    for (const Setting& s : Settings)
        load(m_values, s, file.value(section(), QString::fromLatin1(s.key)));
    emit changed();
}

void TConfig::Save() {
    const IniFile file(iniPath());
    for (const Setting& s : Settings)
        file.writeString(section(), QString::fromLatin1(s.key), stored(m_values, s));
}

void TConfig::setValues(const ConfigValues& values) {
    if (values == m_values) return;
    m_values = values;
    emit changed();
}

void TConfig::MostraUltFecha(const QString& DataIn) {
    m_values.dataUltFecha = DataIn;
    emit changed();
}

void TConfig::SalvaUltFecha(const QString& DataIn) {
    m_values.dataUltFecha = asDateEdit(DataIn);
    try {
        const IniFile file(iniPath());
        // Each register of a closed day stores the same day: the file is
        // rewritten (and flushed to disk) only when it changes.
        if (file.readString(section(), QStringLiteral("DataUltFecha")) != m_values.dataUltFecha)
            file.writeString(section(), QStringLiteral("DataUltFecha"), m_values.dataUltFecha);
    } catch (...) {
        emit changed();
        throw;
    }
    emit changed();
}
