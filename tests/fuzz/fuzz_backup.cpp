// Backup archive check: any file handed to it as an archive is either accepted with its
// entries named or refused with a reason, and never crashes the program.
#include "BackupArchive.h"
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    Fuzz::prompter();
    const QString path = Fuzz::file(QStringLiteral("backup.zip"));
    Fuzz::writeFile(path, data, size);
    const BackupArchive::Outcome out = BackupArchive::verify(path);
    FUZZ_CHECK(out.archive == path);
    if (out.ok)
        FUZZ_CHECK(!out.entries.isEmpty());
    else
        FUZZ_CHECK(!out.message.isEmpty());
    return 0;
}
