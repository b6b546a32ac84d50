#pragma once
// The captured text of an anonymous shader. The writer owns every capture it
// creates; callers only hand the pointer from `currentText` back to it.

class ShaderText {
public:
    ShaderText() = default;
    ~ShaderText();
    ShaderText(const ShaderText&) = delete;
    ShaderText& operator=(const ShaderText&) = delete;

    // Appends a NUL-terminated string as text.
    void append(const char* text);
    // Appends n bytes of text (no NUL among them); does not mark the capture binary.
    void appendText(const char* text, int n);
    // Appends n raw bytes; any n > 0 marks the capture as binary.
    void appendBytes(const void* bytes, int n);

    char* data = nullptr;  // NUL-terminated; null until the first append
    int length = 0;        // bytes held, without the terminator
    int capacity = -1;
    bool binary = false;   // holds raw bytes and must not be re-indented

private:
    void add(const char* bytes, int n);
};
