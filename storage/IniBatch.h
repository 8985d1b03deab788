#pragma once

// Groups many key writes into one atomic replacement of each file they touch: a whole
// font, a whole sheet. Until commit() the changes live in the shared INI cache, where
// every INI-file object in the program reads them; commit() writes each changed file
// once and raises AppError "Unable to write to <file>" when that fails (the old file
// stays as it was). A batch that ends without commit() forgets its changes. Batches
// nest; only the outermost one writes.
class IniBatch
{
public:
    IniBatch();
    ~IniBatch();
    IniBatch(const IniBatch &) = delete;
    IniBatch &operator=(const IniBatch &) = delete;

    void commit();

private:
    bool m_ended = false;
};
