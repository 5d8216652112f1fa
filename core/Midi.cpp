#include "core/Midi.h"

#include "core/MidiModule.h"

namespace tova {

void SetMidiHost(MidiHost* host) { MidiModule::instance().setHost(host); }
void ListMidiInDevices(QStringList& list, int& listIndex, const QString& selectedName) {
    MidiModule::instance().ListMidiInDevices(list, listIndex, selectedName);
}
void ListMidiOutDevices(QStringList& list, int& listIndex, const QString& selectedName) {
    MidiModule::instance().ListMidiOutDevices(list, listIndex, selectedName);
}
int FindMidiInDevice(const QString& name) { return MidiModule::instance().FindMidiInDevice(name); }
int FindMidiOutDevice(const QString& name) { return MidiModule::instance().FindMidiOutDevice(name); }
int OpenMidiIn(QString& deviceName, QObject* window) { return MidiModule::instance().OpenMidiIn(deviceName, window); }
void CloseMidiIn() { MidiModule::instance().CloseMidiIn(); }
int OpenMidiOut(QString& deviceName, QObject* window) {
    return MidiModule::instance().OpenMidiOut(deviceName, window);
}
void CloseMidiOut() { MidiModule::instance().CloseMidiOut(); }
bool MidiNoteOn(int16_t noteNum) { return MidiModule::instance().MidiNoteOn(noteNum); }
void MidiNoteOff() { MidiModule::instance().MidiNoteOff(); }
void HookMidiWindow(QObject* window) { MidiModule::instance().HookMidiWindow(window); }
void UnhookMidiWindow() { MidiModule::instance().UnhookMidiWindow(); }
void SetMidiStepInput(bool on) { MidiModule::instance().setStepInput(on); }
void SetMidiSyncScroll(bool on) { MidiModule::instance().setSyncScroll(on); }

}  // namespace tova
