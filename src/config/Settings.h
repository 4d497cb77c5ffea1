#pragma once
// TConfig: the store of the nineteen settings of configAPI.ini, section "CONF".
// Its public members are the values the settings form's controls hold (the
// dialog binds its controls to them); every other part of the program reads the
// settings from here or from the copies the main window takes when it applies
// them. LoadConfig fills the members from the file, Save writes all of them back,
// SalvaUltFecha stores the last-closing date alone.

#include "config/NumericValue.h"

#include <QObject>
#include <QString>

class TConfig : public QObject {
    Q_OBJECT

  public:
    static constexpr const char* FileName = "configAPI.ini";
    static constexpr const char* Section = "CONF";
    static constexpr const char* DefaultDataUltFecha = "01/11/2020";

    // Until the first LoadConfig the members hold what a load of no file gives.
    // The file beside the program: platform::baseDir() + "configAPI.ini".
    explicit TConfig(QObject* parent = nullptr);
    // An explicit file (tests, tools).
    explicit TConfig(const QString& iniPath, QObject* parent = nullptr);

    [[nodiscard]] QString iniPath() const;

    // Fills every member from the file; missing values take their defaults
    // (intervals of value 0 too), which are not written back. A missing or
    // unreadable file is not an error.
    void LoadConfig();
    // Writes the nineteen keys in their fixed order; a key that cannot be written
    // throws IniWriteError ("Unable to write to <path>") and ends the save there.
    void Save();
    // Shows DataIn in edtDataUltFecha and writes "DataUltFecha" alone; throws
    // IniWriteError after the member already holds the new date.
    void SalvaUltFecha(const QString& DataIn);

    // Text edits.
    QString pathBDDolvex;  // "PATH DOLVEX"
    QString idEmpresa;     // "IDEMRPESA"
    QString idLocal;       // "IDLOCAL"
    QString usuario;       // "USUARIO"
    QString senha;         // "SENHA"
    QString urlBase;       // "URLBASE"
    QString urlBase2;      // "URLBASE2"
    QString urlBase3;      // "URLBASE3"
    QString urlBase4;      // "URLBASE4"
    QString edtApelidoEmp; // "edtApelidoEmp"
    // Check boxes.
    bool chkCodEmpDolvex = false; // "chkCodEmpDolvex": on only for "SIM"
    bool chkPostVenda = false;    // "chkPostVenda": off only for "NAO"
    bool chkGetPromo = false;     // "chkGetPromo": off only for "NAO"
    // Numeric edits.
    TNumericEdit edtcodempdolvex; // "edtcodempdolvex"
    TNumericEdit timerProm;       // "timerProm", seconds, default 300
    TNumericEdit timerReenvio;    // "timerReenvio", seconds, default 600
    TNumericEdit timerFecha;      // "timerFecha", seconds, default 660
    TNumericEdit timerVenda;      // "timerVenda", seconds, default 90
    // Date edit, "DD/MM/AAAA".
    QString edtDataUltFecha; // "DataUltFecha"

  signals:
    // After LoadConfig and SalvaUltFecha: the members hold new values.
    void changed();

  private:
    QString m_iniPath; // empty: beside the program
};
