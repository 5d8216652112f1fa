@rem Makes the default voice bank in this folder when it is missing or incomplete: every sample
@rem of initvox.txt spoken by espeak-ng, oto.ini and character.txt; then every spoken sample
@rem without a frequency table gets one from the note renderer of the program folder.
@initvox.exe initvox.txt ..\..\vorsa.exe
