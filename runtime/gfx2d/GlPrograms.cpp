// The batch's drawing program in its two forms: GLSL shaders and assembly programs (see the header).
// Both compute the same: position = corner * view.xy + view.zw; colour = draw colour, times the texel
// when textured; the fragment dropped where that colour's alpha is at or below the reference.
#define GL_GLEXT_PROTOTYPES 0
#include "runtime/gfx2d/GlPrograms.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdio>
#include <cstring>
#include <string_view>

#include "runtime/platform/Platform.h"

namespace {

// Forgets the errors the GL has noted so far (a bounded number: a GL without a context may keep one).
void ClearGlErrors() {
  for (int i = 0; i < 16 && glGetError() != GL_NO_ERROR; ++i) {
  }
}

// Whether the GL's extension string lists `name`.
bool HasExtension(const char* name) {
  return plat::ListsExtension(reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)), name);
}

const char* const kVertexShader = R"(
attribute vec2 aPos;
attribute vec2 aUv;
uniform vec4 uView;
varying vec2 vUv;
void main() {
  vUv = aUv;
  gl_Position = vec4(aPos * uView.xy + uView.zw, 0.0, 1.0);
  gl_PointSize = 1.0;
}
)";

const char* const kFragmentShader = R"(
#ifdef GL_ES
#ifdef GL_FRAGMENT_PRECISION_HIGH
precision highp float;
#else
precision mediump float;
#endif
#endif
uniform sampler2D uTexture;
uniform vec4 uColour;
uniform float uTextured;
uniform float uAlphaReference;
varying vec2 vUv;
void main() {
  vec4 c = uColour;
  if (uTextured > 0.5) c *= texture2D(uTexture, vUv);
  if (c.a <= uAlphaReference) discard;
  gl_FragColor = c;
}
)";

class GlslPrograms final : public GlPrograms {
 public:
  bool Load(plat::Platform& p) {
    bool ok = true;
    ok &= LookUpGl(p, "glCreateShader", createShader_);
    ok &= LookUpGl(p, "glShaderSource", shaderSource_);
    ok &= LookUpGl(p, "glCompileShader", compileShader_);
    ok &= LookUpGl(p, "glGetShaderiv", getShaderiv_);
    ok &= LookUpGl(p, "glGetShaderInfoLog", getShaderInfoLog_);
    ok &= LookUpGl(p, "glDeleteShader", deleteShader_);
    ok &= LookUpGl(p, "glCreateProgram", createProgram_);
    ok &= LookUpGl(p, "glAttachShader", attachShader_);
    ok &= LookUpGl(p, "glBindAttribLocation", bindAttribLocation_);
    ok &= LookUpGl(p, "glLinkProgram", linkProgram_);
    ok &= LookUpGl(p, "glGetProgramiv", getProgramiv_);
    ok &= LookUpGl(p, "glDeleteProgram", deleteProgram_);
    ok &= LookUpGl(p, "glUseProgram", useProgram_);
    ok &= LookUpGl(p, "glGetUniformLocation", getUniformLocation_);
    ok &= LookUpGl(p, "glUniform1i", uniform1i_);
    ok &= LookUpGl(p, "glUniform1f", uniform1f_);
    ok &= LookUpGl(p, "glUniform4f", uniform4f_);
    return ok;
  }

  ~GlslPrograms() override {
    if (program_) deleteProgram_(program_);
  }

  bool Build() {
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    es_ = version && std::string_view(version).find("OpenGL ES") != std::string_view::npos;
    const GLuint vs = Compile(GL_VERTEX_SHADER, kVertexShader);
    const GLuint fs = Compile(GL_FRAGMENT_SHADER, kFragmentShader);
    if (!vs || !fs) {
      if (vs) deleteShader_(vs);
      if (fs) deleteShader_(fs);
      return false;
    }
    program_ = createProgram_();
    attachShader_(program_, vs);
    attachShader_(program_, fs);
    bindAttribLocation_(program_, kAttribPosition, "aPos");
    bindAttribLocation_(program_, kAttribTexCoord, "aUv");
    linkProgram_(program_);
    deleteShader_(vs);
    deleteShader_(fs);
    GLint ok = 0;
    getProgramiv_(program_, GL_LINK_STATUS, &ok);
    if (!ok) return false;
    uView_ = getUniformLocation_(program_, "uView");
    uColour_ = getUniformLocation_(program_, "uColour");
    uTextured_ = getUniformLocation_(program_, "uTextured");
    uAlphaReference_ = getUniformLocation_(program_, "uAlphaReference");
    uTexture_ = getUniformLocation_(program_, "uTexture");
    return true;
  }

  void Use() override {
    useProgram_(program_);
    uniform1i_(uTexture_, 0);
  }
  void SetTextured(bool textured) override { uniform1f_(uTextured_, textured ? 1.0f : 0.0f); }
  void SetColour(const float c[4]) override { uniform4f_(uColour_, c[0], c[1], c[2], c[3]); }
  void SetAlphaReference(float reference) override { uniform1f_(uAlphaReference_, reference); }
  void SetView(float sx, float sy, float tx, float ty) override { uniform4f_(uView_, sx, sy, tx, ty); }
  const char* Kind() const override { return "glsl"; }

 private:
  GLuint Compile(GLenum kind, const char* body) {
    // Desktop GL reads the shaders as GLSL 1.10; GLES 2 as GLSL ES 1.00, which defines GL_ES.
    const char* sources[] = {"#version 100\n", body};
    const char* desktop[] = {"#version 110\n", body};
    GLuint shader = createShader_(kind);
    shaderSource_(shader, 2, es_ ? sources : desktop, nullptr);
    compileShader_(shader);
    GLint ok = 0;
    getShaderiv_(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
      char log[512] = {};
      getShaderInfoLog_(shader, sizeof log, nullptr, log);
      std::fprintf(stderr, "brillora: shader: %s\n", log);
      deleteShader_(shader);
      return 0;
    }
    return shader;
  }

  PFNGLCREATESHADERPROC createShader_ = nullptr;
  PFNGLSHADERSOURCEPROC shaderSource_ = nullptr;
  PFNGLCOMPILESHADERPROC compileShader_ = nullptr;
  PFNGLGETSHADERIVPROC getShaderiv_ = nullptr;
  PFNGLGETSHADERINFOLOGPROC getShaderInfoLog_ = nullptr;
  PFNGLDELETESHADERPROC deleteShader_ = nullptr;
  PFNGLCREATEPROGRAMPROC createProgram_ = nullptr;
  PFNGLATTACHSHADERPROC attachShader_ = nullptr;
  PFNGLBINDATTRIBLOCATIONPROC bindAttribLocation_ = nullptr;
  PFNGLLINKPROGRAMPROC linkProgram_ = nullptr;
  PFNGLGETPROGRAMIVPROC getProgramiv_ = nullptr;
  PFNGLDELETEPROGRAMPROC deleteProgram_ = nullptr;
  PFNGLUSEPROGRAMPROC useProgram_ = nullptr;
  PFNGLGETUNIFORMLOCATIONPROC getUniformLocation_ = nullptr;
  PFNGLUNIFORM1IPROC uniform1i_ = nullptr;
  PFNGLUNIFORM1FPROC uniform1f_ = nullptr;
  PFNGLUNIFORM4FPROC uniform4f_ = nullptr;
  bool es_ = false;
  GLuint program_ = 0;
  GLint uView_ = -1, uColour_ = -1, uTextured_ = -1, uAlphaReference_ = -1, uTexture_ = -1;
};

// The same program in the assembly language. The view is the vertex program's parameter 0; the colour
// and the alpha reference are the fragment programs' shared parameters 0 and 1. A textured and an
// untextured fragment program stand in for the shader's test of uTextured.
const char* const kVertexProgram =
    "!!ARBvp1.0\n"
    "PARAM view = program.env[0];\n"
    "MAD result.position.xy, vertex.attrib[0], view, view.zwzw;\n"
    "MOV result.position.zw, {0, 0, 0, 1};\n"
    "MOV result.texcoord[0], vertex.attrib[1];\n"
    "END\n";

// keep = 1 where the reference lies below the alpha, else 0; the fragment is dropped where keep - 0.5
// is negative, so exactly where the alpha is at or below the reference, as in the shader.
const char* const kTexturedFragmentProgram =
    "!!ARBfp1.0\n"
    "PARAM colour = program.env[0];\n"
    "PARAM reference = program.env[1];\n"
    "TEMP c, keep;\n"
    "TEX c, fragment.texcoord[0], texture[0], 2D;\n"
    "MUL c, colour, c;\n"
    "SLT keep.x, reference.x, c.w;\n"
    "SUB keep.x, keep.x, {0.5}.x;\n"
    "KIL keep.x;\n"
    "MOV result.color, c;\n"
    "END\n";

const char* const kPlainFragmentProgram =
    "!!ARBfp1.0\n"
    "PARAM colour = program.env[0];\n"
    "PARAM reference = program.env[1];\n"
    "TEMP keep;\n"
    "SLT keep.x, reference.x, colour.w;\n"
    "SUB keep.x, keep.x, {0.5}.x;\n"
    "KIL keep.x;\n"
    "MOV result.color, colour;\n"
    "END\n";

class AssemblyPrograms final : public GlPrograms {
 public:
  bool Load(plat::Platform& p) {
    bool ok = true;
    ok &= LookUpGl(p, "glGenProgramsARB", genPrograms_);
    ok &= LookUpGl(p, "glDeleteProgramsARB", deletePrograms_);
    ok &= LookUpGl(p, "glBindProgramARB", bindProgram_);
    ok &= LookUpGl(p, "glProgramStringARB", programString_);
    ok &= LookUpGl(p, "glProgramEnvParameter4fARB", envParameter_);
    return ok;
  }

  ~AssemblyPrograms() override {
    if (names_[0]) deletePrograms_(3, names_);
  }

  bool Build() {
    genPrograms_(3, names_);
    return Load(GL_VERTEX_PROGRAM_ARB, names_[0], kVertexProgram) &&
           Load(GL_FRAGMENT_PROGRAM_ARB, names_[1], kTexturedFragmentProgram) &&
           Load(GL_FRAGMENT_PROGRAM_ARB, names_[2], kPlainFragmentProgram);
  }

  void Use() override {
    glEnable(GL_VERTEX_PROGRAM_ARB);
    glEnable(GL_FRAGMENT_PROGRAM_ARB);
    bindProgram_(GL_VERTEX_PROGRAM_ARB, names_[0]);
    bindProgram_(GL_FRAGMENT_PROGRAM_ARB, names_[1]);
  }
  void SetTextured(bool textured) override {
    bindProgram_(GL_FRAGMENT_PROGRAM_ARB, textured ? names_[1] : names_[2]);
  }
  void SetColour(const float c[4]) override {
    envParameter_(GL_FRAGMENT_PROGRAM_ARB, 0, c[0], c[1], c[2], c[3]);
  }
  void SetAlphaReference(float reference) override {
    envParameter_(GL_FRAGMENT_PROGRAM_ARB, 1, reference, 0, 0, 0);
  }
  void SetView(float sx, float sy, float tx, float ty) override {
    envParameter_(GL_VERTEX_PROGRAM_ARB, 0, sx, sy, tx, ty);
  }
  const char* Kind() const override { return "assembly"; }

 private:
  bool Load(GLenum target, GLuint name, const char* text) {
    ClearGlErrors();
    bindProgram_(target, name);
    programString_(target, GL_PROGRAM_FORMAT_ASCII_ARB, static_cast<GLsizei>(std::strlen(text)), text);
    if (glGetError() == GL_NO_ERROR) return true;
    const char* why = reinterpret_cast<const char*>(glGetString(GL_PROGRAM_ERROR_STRING_ARB));
    std::fprintf(stderr, "brillora: program: %s\n", why ? why : "refused");
    return false;
  }

  PFNGLGENPROGRAMSARBPROC genPrograms_ = nullptr;
  PFNGLDELETEPROGRAMSARBPROC deletePrograms_ = nullptr;
  PFNGLBINDPROGRAMARBPROC bindProgram_ = nullptr;
  PFNGLPROGRAMSTRINGARBPROC programString_ = nullptr;
  PFNGLPROGRAMENVPARAMETER4FARBPROC envParameter_ = nullptr;
  GLuint names_[3] = {0, 0, 0};  // vertex, textured fragment, untextured fragment
};

}  // namespace

std::unique_ptr<GlPrograms> CreateGlPrograms(plat::Platform& platform, bool glslOnly) {
  if (!glslOnly && HasExtension("GL_ARB_vertex_program") && HasExtension("GL_ARB_fragment_program")) {
    auto assembly = std::make_unique<AssemblyPrograms>();
    if (assembly->Load(platform) && assembly->Build()) return assembly;
    // A GL that lists the extensions but refuses the programs still has its shaders.
    glDisable(GL_VERTEX_PROGRAM_ARB);
    glDisable(GL_FRAGMENT_PROGRAM_ARB);
    ClearGlErrors();
  }
  auto glsl = std::make_unique<GlslPrograms>();
  if (glsl->Load(platform) && glsl->Build()) return glsl;
  return nullptr;
}
