#include "tests/host/decode/memory_stream.h"

#include <string.h>
#include <sys/types.h>

static ssize_t readInput(void *cookie, char *buffer, size_t size)
{
    MemoryInput &in = *(MemoryInput *)cookie;
    if (in.failAt >= 0 && (long)in.offset >= in.failAt)
        return -1;
    size_t left = in.data.size() - in.offset;
    size_t n = size < left ? size : left;
    if (in.chunk && n > in.chunk)
        n = in.chunk;
    if (in.failAt >= 0 && (long)(in.offset + n) > in.failAt)
        n = (size_t)in.failAt - in.offset;
    if (n > 0)   // an empty vector's data() may be null
        memcpy(buffer, in.data.data() + in.offset, n);
    in.offset += n;
    return (ssize_t)n;
}

static ssize_t writeOutput(void *cookie, const char *buffer, size_t size)
{
    MemoryOutput &out = *(MemoryOutput *)cookie;
    size_t n = size;
    if (out.capacity >= 0) {
        size_t room = (size_t)out.capacity - out.data.size();
        if (room == 0)
            return -1;
        if (n > room)
            n = room;
    }
    out.data.insert(out.data.end(), buffer, buffer + n);
    return (ssize_t)n;
}

FILE *openInput(MemoryInput &input)
{
    cookie_io_functions_t io = {readInput, nullptr, nullptr, nullptr};
    FILE *f = fopencookie(&input, "rb", io);
    if (f && input.failAt >= 0)
        setvbuf(f, nullptr, _IONBF, 0);
    return f;
}

FILE *openOutput(MemoryOutput &output)
{
    cookie_io_functions_t io = {nullptr, writeOutput, nullptr, nullptr};
    FILE *f = fopencookie(&output, "wb", io);
    if (f && output.capacity >= 0)
        setvbuf(f, nullptr, _IONBF, 0);
    return f;
}
