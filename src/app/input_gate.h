#pragma once
// While an operator's command runs, the program takes no input: keys, clicks
// and wheel turns that reach its windows meanwhile are thrown away, not kept
// until the command has ended. A dialog the command itself opens (a safety
// question, a message, a file dialog) takes its input as usual.
#include <QObject>

namespace moltrix::app {

class InputGate : public QObject {
public:
    // Watches every event of the application from now on.
    InputGate();
    ~InputGate() override;
    InputGate(const InputGate&) = delete;
    InputGate& operator=(const InputGate&) = delete;

    // Close() at the start of a command, Open() at its end; they nest.
    void Close() { ++closedDepth_; }
    void Open() {
        if (closedDepth_ > 0) --closedDepth_;
    }
    bool IsClosed() const { return closedDepth_ > 0; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int closedDepth_ = 0;
};

}  // namespace moltrix::app
