// GLObjects.h -- owning handles for the GL objects the renderer makes. Each
// deletes its object when it goes, unless the context has already gone with
// the window (then the names died with it and nothing may be called).
#pragma once
#include <glad/gl.h>

#include <string>
#include <utility>

#include "ProcTex.h"

namespace graph {

// Whether the context the objects belong to still lives (State.h).
bool ContextLive();

template <void (*Deleter)(GLuint)>
class GLName {
public:
  GLName() = default;
  explicit GLName(GLuint Name) : Id(Name) {}
  GLName(GLName &&o) noexcept : Id(std::exchange(o.Id, 0)) {}
  GLName &operator=(GLName &&o) noexcept { if (this != &o) { Reset(); Id = std::exchange(o.Id, 0); } return *this; }
  GLName(const GLName &) = delete;
  GLName &operator=(const GLName &) = delete;
  ~GLName() { Reset(); }
  void Reset() { if (Id && ContextLive()) Deleter(Id); Id = 0; }
  GLuint Get() const { return Id; }
  explicit operator bool() const { return Id != 0; }
private:
  GLuint Id = 0;
};

void DeleteBuffer(GLuint Id);
void DeleteVertexArray(GLuint Id);
void DeleteTexture(GLuint Id);
void DeleteProgram(GLuint Id);
void DeleteFramebuffer(GLuint Id);
void DeleteRenderbuffer(GLuint Id);

using Buffer = GLName<DeleteBuffer>;
using VertexArray = GLName<DeleteVertexArray>;
using Texture = GLName<DeleteTexture>;
using Program = GLName<DeleteProgram>;
using Framebuffer = GLName<DeleteFramebuffer>;
using Renderbuffer = GLName<DeleteRenderbuffer>;

Buffer MakeBuffer();
VertexArray MakeVertexArray();

// Compiles and links; an empty Program (and the log in Error) when either fails.
// Defines come after the version line of both stages (e.g. "#define MODE 2\n").
Program BuildProgram(const char *VertexSource, const char *FragmentSource, std::string &Error,
                     const std::string &Defines = "");

// Uploads RGBA pixels; Repeat tiles it, Mipmaps filters it at a distance.
Texture UploadTexture(const Image &Img, bool Repeat, bool Mipmaps);

}  // namespace graph
