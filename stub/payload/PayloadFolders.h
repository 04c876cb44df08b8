// PayloadFolders.h — every start's payload folder recorded in the per-user
// registry (under LAUNCHER_REGISTRY_KEY "payloads\") with the process that
// made it, its id and start time; a later start removes the folders whose
// process has ended, so that they do not pile up in the temporary directory.
// The running application keeps its own folder for as long as it runs.
#pragma once

// Records `folder` as the payload folder of this process.
void RecordPayloadFolder(const char* folder);

// Removes every recorded folder whose process has ended (no process with
// that id and start time runs any more), with everything in it, and its
// record once the folder is gone; a folder that could not be removed keeps
// its record for a later start. A record that does not name a payload folder
// (IsPayloadFolderPath) is dropped and nothing is deleted for it.
void RemoveFoldersOfEndedStarts();

// RemoveFoldersOfEndedStarts on a thread of its own at the lowest priority,
// off the start's way.
void StartPayloadFolderCleanup();
