#pragma once
// TConfig: the store of the nineteen settings of configAPI.ini, section "CONF".
// It holds the values as a ConfigValues record: every other part of the program
// reads the settings from values() or from the copies the main window takes when
// it applies them; the settings dialog edits a copy and hands it back with
// setValues(). LoadConfig fills the values from the file, Save writes all of them
// back, SalvaUltFecha stores the last-closing date alone.

#include "config/NumericValue.h"

#include <QObject>
#include <QString>

// The nineteen settings, each with its key in the file.
struct ConfigValues {
    // Texts.
    QString pathBDDolvex; // "PATH DOLVEX"
    QString idEmpresa;    // "IDEMRPESA"
    QString idLocal;      // "IDLOCAL"
    QString usuario;      // "USUARIO"
    QString senha;        // "SENHA"
    QString urlBase;      // "URLBASE"
    QString urlBase2;     // "URLBASE2"
    QString urlBase3;     // "URLBASE3"
    QString urlBase4;     // "URLBASE4"
    QString apelidoEmp;   // "edtApelidoEmp"
    // Switches.
    bool usaCodEmpDolvex = false; // "chkCodEmpDolvex": on only for "SIM"
    bool postaVendas = false;     // "chkPostVenda": off only for "NAO"
    bool buscaPromocoes = false;  // "chkGetPromo": off only for "NAO"
    // Numbers.
    TNumericValue codEmpDolvex; // "edtcodempdolvex"
    TNumericValue timerProm;    // "timerProm", seconds, default 300
    TNumericValue timerReenvio; // "timerReenvio", seconds, default 600
    TNumericValue timerFecha;   // "timerFecha", seconds, default 660
    TNumericValue timerVenda;   // "timerVenda", seconds, default 90
    // Date, "DD/MM/AAAA".
    QString dataUltFecha; // "DataUltFecha"

    friend bool operator==(const ConfigValues&, const ConfigValues&) = default;
};

class TConfig : public QObject {
    Q_OBJECT

  public:
    static constexpr const char* FileName = "configAPI.ini";
    static constexpr const char* Section = "CONF";
    static constexpr const char* DefaultDataUltFecha = "01/11/2020";

    // Until the first LoadConfig the values are what a load of no file gives.
    // The file beside the program: platform::baseDir() + "configAPI.ini".
    explicit TConfig(QObject* parent = nullptr);
    // An explicit file (tests, tools).
    explicit TConfig(const QString& iniPath, QObject* parent = nullptr);

    [[nodiscard]] QString iniPath() const;

    [[nodiscard]] const ConfigValues& values() const { return m_values; }
    // Takes every value as given (nothing is written); emits changed() when one
    // of them differs from before.
    void setValues(const ConfigValues& values);

    // Fills every value from the file; missing values take their defaults
    // (intervals of value 0 too), which are not written back. A missing or
    // unreadable file is not an error.
    void LoadConfig();
    // Writes the nineteen keys in their fixed order; a key that cannot be written
    // throws IniWriteError ("Unable to write to <path>") and ends the save there.
    void Save();
    // Shows DataIn as the last-closing date and writes "DataUltFecha" alone;
    // throws IniWriteError after the value already holds the new date.
    void SalvaUltFecha(const QString& DataIn);
    // Shows DataIn as the last-closing date, as it is, without writing anything.
    void MostraUltFecha(const QString& DataIn);

  signals:
    // After LoadConfig, SalvaUltFecha, MostraUltFecha and a setValues that
    // changed something: the values are new.
    void changed();

  private:
    QString m_iniPath; // empty: beside the program
    ConfigValues m_values;
};
