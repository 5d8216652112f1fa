#pragma once

#include <QObject>
#include <QStringList>

#include <cstdint>

namespace tova {

class MidiHost;

// The MIDI procedures of the program, on the one `MidiModule`: device lists, opening and closing
// the input and output devices by name, the preview note and the input window hook.
void SetMidiHost(MidiHost* host);
void ListMidiInDevices(QStringList& list, int& listIndex, const QString& selectedName);
void ListMidiOutDevices(QStringList& list, int& listIndex, const QString& selectedName);
int FindMidiInDevice(const QString& name);
int FindMidiOutDevice(const QString& name);
int OpenMidiIn(QString& deviceName, QObject* window);
void CloseMidiIn();
int OpenMidiOut(QString& deviceName, QObject* window);
void CloseMidiOut();
bool MidiNoteOn(int16_t noteNum);
void MidiNoteOff();
void HookMidiWindow(QObject* window);
void UnhookMidiWindow();
// The main window's step-input and synchronised-scroll check boxes.
void SetMidiStepInput(bool on);
void SetMidiSyncScroll(bool on);

}  // namespace tova
