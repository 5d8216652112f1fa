#pragma once

namespace tova {

// The display of a batch frequency-table run: opened with the number of samples the batch covers,
// updated with the number of tables made so far, asked whether the user wants the run stopped, and
// closed at the end. The generator's form gives a progress window; tests a fake.
class FreqGeneratorProgress {
public:
    virtual ~FreqGeneratorProgress() = default;
    virtual void open(int total) = 0;
    virtual void update(int done) = 0;
    virtual bool stopRequested() = 0;
    virtual void close() = 0;
};

}  // namespace tova
