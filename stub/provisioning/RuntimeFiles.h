// RuntimeFiles.h — where the runtime step keeps its files: the archive
// "jre.tar.gz" and the runtime directory "jre" beside it, always as absolute
// paths fixed at the start of the launch sequence, so that nothing the user
// does meanwhile (the file chooser changes the current directory) moves
// them; and the archive's removal when the user cancels.
#pragma once

#include "TextBuffer.h"

struct RuntimeFiles {
    char archive[TextBufferSize];  // <directory>\jre.tar.gz
    char runtime[TextBufferSize];  // <directory>\jre
};

// Fixes the paths for this run in `directory` (the payload directory), or
// in the current directory when it is empty (a launcher without payload).
// Called once, by the launch sequence, before any dialog opens. Paths that
// would not fit stay empty, so every step on them fails as a step on a
// missing file does.
const RuntimeFiles& PlaceRuntimeFiles(const char* directory);

// Main thread, once the user cancelled the progress dialog and the running
// step has had its chance to clean up (RequestCancel): removes the archive.
// A download still running keeps it open for sharing with deletion, so it
// goes when the download's handle closes, at the latest with the process;
// a server that has stopped sending leaves nothing behind either.
void RemoveAbandonedArchive();
