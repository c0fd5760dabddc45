#pragma once

// The two letters that head every message between the hook and the client.

namespace ClientMessageType {
enum ClientMessageType : unsigned char {
    Notify = 'N',   // the hook tells the client something; carries a 4-byte parameter
    Request = 'R',  // the client tells the hook what to do
    Error = 'E',    // a failure kind
};
}  // namespace ClientMessageType

namespace ClientMessageSubType {
enum ClientMessageSubType : unsigned char {
    NewJob = 'B',
    PageSets = 'P',
    JobCompleted = 'Z',
    JobCancelled = 'X',
    // The job could not be recorded anywhere: CUPS holds it until it is released.
    JobHeld = 'H',
    CommunicationFailure = 'F',
    ClientNotRunning = 'N',
};
}  // namespace ClientMessageSubType
