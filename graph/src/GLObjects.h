// GLObjects.h -- owning handles for the GL objects the renderer makes. Each
// deletes its object when it goes, unless the context has already gone with
// the window (then the names died with it and nothing may be called).
#pragma once
#include <glad/gl.h>

#include <string>
#include <utility>

#include "ProcTex.h"

namespace graph {

// False once the context the objects belong to is gone or not current.
extern bool GLAlive;

// Whether textures seen at a slant filter anisotropically: cheap on a graphics
// card, the larger part of a frame's time on a software rasterizer.
extern bool Anisotropy;

// Whether mipmapped textures blend between two levels (trilinear): smooth at
// every distance on a graphics card; the fast tier takes the nearer level, at
// half the texture reads.
extern bool Trilinear;

// Whether frames are drawn 4x multisampled and resolved at the end: smooth cube
// edges, nearly free on a graphics card, too slow on a software rasterizer
// unless asked for (the tests ask, to cover that path).
extern bool Multisample;
extern bool MultisampleOnSoftware;

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
  void Reset() { if (Id && GLAlive) Deleter(Id); Id = 0; }
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
