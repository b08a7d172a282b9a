#pragma once

#include "update/download_job.h"

// Downloads the job's URL into its target file, always from the origin server, on the calling
// thread. The bytes go to a temporary file beside the target, which replaces the target only when
// the transfer is complete, so a file of that name is never lost to a failed download. A response
// other than 2xx (after redirects), a connection failure and a file that cannot be written are
// failures: the temporary file is deleted and the listener hears why. A cancel is noticed within a
// second, also while the server sends nothing; it deletes the temporary file silently. Returns 0.
int DownloadWorker(DownloadJob* job);
