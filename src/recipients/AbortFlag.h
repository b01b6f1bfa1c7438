#pragma once

namespace pelicast {

// The abort request of the import and the export (AbortRequested). The program has one,
// seen by both commands. The Abort button only sets it (AbortButtonClick); a request stays
// pending until an import or export loop looks at it, and the loop that finds it set is the
// only thing that clears it. A request made after the last line of an import was read is
// therefore honoured by the next import or export, before its first line.
class AbortFlag
{
public:
    void request() { m_requested = true; }
    bool isRequested() const { return m_requested; }
    // For the loops: true when a request was pending; it is cleared.
    bool takeRequest()
    {
        const bool requested = m_requested;
        m_requested = false;
        return requested;
    }

private:
    bool m_requested = false;
};

} // namespace pelicast
