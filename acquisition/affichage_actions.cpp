// The actions of a cycle and its alarm evaluation.
#include "acquisition/affichage.h"

void TAffichage::Executer_actions() { Decompte_actions = Intervalle_actions; }

bool TAffichage::Alarme_active() const { return ComPort1.Connected() && Led_GPRMC->State() == serial::lsOff; }

void TAffichage::Signal_sonore() {}
