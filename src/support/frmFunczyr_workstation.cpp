// The program's folder, the computer's name and memory trimming.

#include "support/frmFunczyr.h"

#include "support/Platform.h"

QString Funcoes_da_ZYR::AjustaContraBarra(const QString& StringIn) {
    const QChar sep = platform::separator();
    return StringIn.endsWith(sep) ? StringIn : StringIn + sep;
}

QString Funcoes_da_ZYR::Path_Do_Executavel() { return AjustaContraBarra(platform::baseDir()); }

QString Funcoes_da_ZYR::Nome_do_pc() { return platform::computerName(); }

void Funcoes_da_ZYR::Clear_memory_pc() {
    try {
        platform::trimWorkingSet();
    } catch (...) {
        // Trimming is a courtesy to the system; its failure is no one's concern.
    }
}
