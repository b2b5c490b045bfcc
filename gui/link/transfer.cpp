// The main window's steps around an Upload or Download.
#include "link/transfer.h"

namespace rt62 {

TransferResult RunUpload(TransferContext&) { return TransferResult::Failed; }
TransferResult RunDownload(TransferContext&) { return TransferResult::Failed; }

}  // namespace rt62
