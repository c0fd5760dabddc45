#include "Core/CVModels/ClientJob.h"

ClientJob::ClientJob()
{
    TransactionFrom = 3;
    ProcessName = "<Unknown>";
}
