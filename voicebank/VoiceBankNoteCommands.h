#pragma once

#include <functional>

namespace tova {

class CommandRegistry;
class EditContext;
class SamplePickerPort;
class SuffixBrokerPort;

// The main window's commands that reach the voice-bank tools over the notes.
//   "mnSurffixBroker"  the suffix dialog over the lyrics of the selection; when it applied and the
//                      notes changed: their renderings are deleted, the project is marked modified,
//                      one step "歌詞の変更" is recorded and the roll is redrawn, in that order
//   "mnInsertFrom"     the sample picker on the project's voice folder (also "mnWordList")
void mnSurffixBroker_Click(EditContext& context, SuffixBrokerPort& broker);
void mnInsertFrom_Click(EditContext& context, SamplePickerPort& picker);

// Registers the two; the functions find the window's dialogs (null: the command says it is not
// available).
void registerVoiceBankNoteCommands(CommandRegistry& registry, std::function<SuffixBrokerPort*(EditContext&)> broker,
                                   std::function<SamplePickerPort*(EditContext&)> picker);

}  // namespace tova
