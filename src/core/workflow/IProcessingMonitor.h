#pragma once
// What the operator sees while a document is opened and processed, and how the program stays
// responsive meanwhile.

class IProcessingMonitor
{
public:
    virtual ~IProcessingMonitor() = default;
    // Processing begins: the progress indication appears.
    virtual void ProcessingStarted() = 0;
    // Lets waiting events run between the engine's steps.
    virtual void PumpMessages() = 0;
    // Processing is over, however it ended: the progress indication goes.
    virtual void ProcessingEnded() = 0;
};
