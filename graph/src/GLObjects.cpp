#include "GLObjects.h"
#include "State.h"

#include <algorithm>

namespace graph {

void DeleteBuffer(GLuint Id) { glDeleteBuffers(1, &Id); }
void DeleteVertexArray(GLuint Id) { glDeleteVertexArrays(1, &Id); }
void DeleteTexture(GLuint Id) { glDeleteTextures(1, &Id); }
void DeleteProgram(GLuint Id) { glDeleteProgram(Id); }
void DeleteFramebuffer(GLuint Id) { glDeleteFramebuffers(1, &Id); }
void DeleteRenderbuffer(GLuint Id) { glDeleteRenderbuffers(1, &Id); }

Buffer MakeBuffer() { GLuint id = 0; glGenBuffers(1, &id); return Buffer(id); }
VertexArray MakeVertexArray() { GLuint id = 0; glGenVertexArrays(1, &id); return VertexArray(id); }

namespace {

GLuint CompileStage(GLenum Stage, const char *Source, const std::string &Defines, std::string &Error) {
  const GLuint s = glCreateShader(Stage);
  const char *sources[] = {"#version 330 core\n", Defines.c_str(), Source};
  glShaderSource(s, 3, sources, nullptr);
  glCompileShader(s);
  GLint ok = 0;
  glGetShaderiv(s, GL_COMPILE_STATUS, &ok);
  if (!ok) {
    char log[2048] = {};
    glGetShaderInfoLog(s, sizeof log, nullptr, log);
    Error = log;
    glDeleteShader(s);
    return 0;
  }
  return s;
}

}  // namespace

Program BuildProgram(const char *VertexSource, const char *FragmentSource, std::string &Error,
                     const std::string &Defines) {
  const GLuint vs = CompileStage(GL_VERTEX_SHADER, VertexSource, Defines, Error);
  if (!vs) return Program();
  const GLuint fs = CompileStage(GL_FRAGMENT_SHADER, FragmentSource, Defines, Error);
  if (!fs) { glDeleteShader(vs); return Program(); }
  Program p(glCreateProgram());
  glAttachShader(p.Get(), vs);
  glAttachShader(p.Get(), fs);
  glLinkProgram(p.Get());
  glDetachShader(p.Get(), vs);
  glDetachShader(p.Get(), fs);
  glDeleteShader(vs);
  glDeleteShader(fs);
  GLint ok = 0;
  glGetProgramiv(p.Get(), GL_LINK_STATUS, &ok);
  if (!ok) {
    char log[2048] = {};
    glGetProgramInfoLog(p.Get(), sizeof log, nullptr, log);
    Error = log;
    return Program();
  }
  return p;
}

Texture UploadTexture(const Image &Img, bool Repeat, bool Mipmaps) {
  GLuint id = 0;
  glGenTextures(1, &id);
  Texture t(id);
  glBindTexture(GL_TEXTURE_2D, id);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, Img.Width, Img.Height, 0, GL_RGBA, GL_UNSIGNED_BYTE, Img.Rgba.data());
  const GLint wrap = Repeat ? GL_REPEAT : GL_CLAMP_TO_EDGE;
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                  !Mipmaps ? GL_LINEAR : State.Trilinear ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR_MIPMAP_NEAREST);
  if (Mipmaps) {
    glGenerateMipmap(GL_TEXTURE_2D);
    if (State.Anisotropy && GLAD_GL_EXT_texture_filter_anisotropic) {
      GLfloat most = 1;
      glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &most);
      glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, std::min(most, 8.0f));
    }
  }
  return t;
}

}  // namespace graph
