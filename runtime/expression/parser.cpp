#include "runtime/expression/parser.h"

#include <algorithm>
#include <utility>

#include "runtime/expression/lexer.h"
#include "runtime/expression/text_case.h"

namespace vx {
namespace {

// Thrown inside the reader only; ParseExpression turns it into the error text.
struct ParseFailure {
  std::string message;
};

class Parser {
 public:
  Parser(std::vector<Token> tokens, const ExpressionBindings& bindings, ParsedExpression* out)
      : tokens_(std::move(tokens)), bindings_(bindings), out_(out) {}

  int ParseAll() {
    const int root = ParseOr();
    if (Peek().kind != TokenKind::kEnd) Fail("unexpected " + Describe(Peek()));
    return root;
  }

 private:
  // Counts how deeply the reader has recursed through brackets, calls and prefixes.
  class Nest {
   public:
    explicit Nest(Parser* p) : p_(p) {
      if (++p_->nesting_ > kExprMaxDepth) p_->Fail("expression nested too deeply");
    }
    ~Nest() { --p_->nesting_; }
    Nest(const Nest&) = delete;
    Nest& operator=(const Nest&) = delete;

   private:
    Parser* p_;
  };

  [[noreturn]] void Fail(std::string message) { throw ParseFailure{std::move(message)}; }

  static std::string Describe(const Token& t) {
    if (t.kind == TokenKind::kEnd) return "end of expression";
    return "\"" + (t.kind == TokenKind::kText ? "'" + t.text + "'" : t.text) + "\" at position " +
           std::to_string(t.offset + 1);
  }

  const Token& Peek() const { return tokens_[pos_]; }
  const Token& Take() { return tokens_[pos_ < tokens_.size() - 1 ? pos_++ : pos_]; }
  bool IsKeyword(const Token& t, const char* word) const {
    return t.kind == TokenKind::kName && AsciiUpper(t.text) == word;
  }
  void Expect(TokenKind kind, const char* what) {
    if (Peek().kind != kind) Fail(std::string("expected ") + what + " before " + Describe(Peek()));
    Take();
  }

  int Add(ExprNode node) {
    for (int child : node.operands) {
      node.depth = std::max(node.depth, out_->nodes[static_cast<std::size_t>(child)].depth + 1);
    }
    // A long chain such as 1+1+1+... builds a deep tree without deep reading; bound it too.
    if (node.depth > kExprMaxDepth) Fail("expression nested too deeply");
    out_->nodes.push_back(std::move(node));
    return static_cast<int>(out_->nodes.size()) - 1;
  }
  int Binary(ExprOp op, int left, int right) {
    ExprNode n;
    n.op = op;
    n.operands = {left, right};
    return Add(std::move(n));
  }
  int Unary(ExprOp op, int operand) {
    ExprNode n;
    n.op = op;
    n.operands = {operand};
    return Add(std::move(n));
  }

  int ParseOr() {
    int left = ParseAnd();
    while (true) {
      ExprOp op;
      if (IsKeyword(Peek(), "OR"))
        op = ExprOp::kOr;
      else if (IsKeyword(Peek(), "XOR"))
        op = ExprOp::kXor;
      else
        return left;
      Take();
      left = Binary(op, left, ParseAnd());
    }
  }

  int ParseAnd() {
    int left = ParseNot();
    while (IsKeyword(Peek(), "AND")) {
      Take();
      left = Binary(ExprOp::kAnd, left, ParseNot());
    }
    return left;
  }

  int ParseNot() {
    if (Peek().kind == TokenKind::kTilde || IsKeyword(Peek(), "NOT")) {
      Take();
      Nest nest(this);
      return Unary(ExprOp::kNot, ParseNot());
    }
    return ParseCompare();
  }

  int ParseCompare() {
    int left = ParseConcat();
    while (true) {
      ExprOp op;
      switch (Peek().kind) {
        case TokenKind::kEqual:
          op = ExprOp::kEqual;
          break;
        case TokenKind::kNotEqual:
          op = ExprOp::kNotEqual;
          break;
        case TokenKind::kLess:
          op = ExprOp::kLess;
          break;
        case TokenKind::kLessEqual:
          op = ExprOp::kLessEqual;
          break;
        case TokenKind::kGreater:
          op = ExprOp::kGreater;
          break;
        case TokenKind::kGreaterEqual:
          op = ExprOp::kGreaterEqual;
          break;
        default:
          return left;
      }
      Take();
      left = Binary(op, left, ParseConcat());
    }
  }

  int ParseConcat() {
    int left = ParseSum();
    while (Peek().kind == TokenKind::kAmpersand) {
      Take();
      left = Binary(ExprOp::kConcat, left, ParseSum());
    }
    return left;
  }

  int ParseSum() {
    int left = ParseProduct();
    while (Peek().kind == TokenKind::kPlus || Peek().kind == TokenKind::kMinus) {
      const ExprOp op = Take().kind == TokenKind::kPlus ? ExprOp::kAdd : ExprOp::kSubtract;
      left = Binary(op, left, ParseProduct());
    }
    return left;
  }

  int ParseProduct() {
    int left = ParsePower();
    while (true) {
      ExprOp op;
      switch (Peek().kind) {
        case TokenKind::kStar:
          op = ExprOp::kMultiply;
          break;
        case TokenKind::kSlash:
          op = ExprOp::kDivide;
          break;
        case TokenKind::kPercent:
          op = ExprOp::kModulo;
          break;
        default:
          return left;
      }
      Take();
      left = Binary(op, left, ParsePower());
    }
  }

  int ParsePower() {
    const int base = ParseSign();
    if (Peek().kind != TokenKind::kCaret) return base;
    Take();
    Nest nest(this);
    return Binary(ExprOp::kPower, base, ParsePower());
  }

  int ParseSign() {
    if (Peek().kind == TokenKind::kMinus || Peek().kind == TokenKind::kPlus) {
      const bool negate = Take().kind == TokenKind::kMinus;
      Nest nest(this);
      const int operand = ParseSign();
      return negate ? Unary(ExprOp::kNegate, operand) : operand;
    }
    return ParsePrimary();
  }

  int ParsePrimary() {
    const Token& t = Peek();
    switch (t.kind) {
      case TokenKind::kNumber: {
        ExprNode n;
        n.literal = ExprValue::Number(ExprNumber::Parse(Take().text).value_or(ExprNumber()));
        return Add(std::move(n));
      }
      case TokenKind::kText: {
        ExprNode n;
        n.literal = ExprValue::Text(Take().text);
        return Add(std::move(n));
      }
      case TokenKind::kLeft: {
        Take();
        Nest nest(this);
        const int inner = ParseOr();
        Expect(TokenKind::kRight, "\")\"");
        return inner;
      }
      case TokenKind::kTilde:
        return ParseOperandNot();
      case TokenKind::kName:
        if (IsKeyword(t, "NOT")) return ParseOperandNot();
        if (IsKeyword(t, "AND") || IsKeyword(t, "OR") || IsKeyword(t, "XOR")) break;
        return ParseName();
      default:
        break;
    }
    Fail("unexpected " + Describe(t));
  }

  // A NOT inside an operand applies to that operand alone: a = ~b reads as a = (NOT b).
  int ParseOperandNot() {
    Take();
    Nest nest(this);
    return Unary(ExprOp::kNot, ParseSign());
  }

  int ParseName() {
    const Token name = Take();
    if (Peek().kind == TokenKind::kLeft) return ParseCall(name);
    const int slot = bindings_.Find(name.text);
    if (slot < 0) Fail("unknown name " + name.text);
    ExprNode n;
    n.op = ExprOp::kName;
    n.slot = slot;
    return Add(std::move(n));
  }

  int ParseCall(const Token& name) {
    const ExprFunction* f = FindExprFunction(name.text);
    if (f == nullptr) Fail("unknown function " + name.text);
    Take();  // "("
    Nest nest(this);
    ExprNode n;
    n.op = ExprOp::kCall;
    n.function = f;
    if (Peek().kind != TokenKind::kRight) {
      n.operands.push_back(ParseOr());
      while (Peek().kind == TokenKind::kComma) {
        Take();
        n.operands.push_back(ParseOr());
      }
    }
    Expect(TokenKind::kRight, "\")\"");
    const int count = static_cast<int>(n.operands.size());
    if (count < f->min_args || count > f->max_args) {
      std::string allowed = std::to_string(f->min_args);
      if (f->max_args != f->min_args) allowed += " to " + std::to_string(f->max_args);
      Fail(std::string(f->name) + " takes " + allowed + " argument(s), not " +
           std::to_string(count));
    }
    return Add(std::move(n));
  }

  std::vector<Token> tokens_;
  std::size_t pos_ = 0;
  int nesting_ = 0;
  const ExpressionBindings& bindings_;
  ParsedExpression* out_;
};

}  // namespace

ParsedExpression ParseExpression(std::string_view text, const ExpressionBindings& bindings) {
  ParsedExpression out;
  if (text.size() > kExprMaxLength) {
    out.error = "expression longer than " + std::to_string(kExprMaxLength) + " characters";
    return out;
  }
  LexResult lexed = Tokenize(text);
  if (!lexed.error.empty()) {
    out.error = std::move(lexed.error);
    return out;
  }
  if (lexed.tokens.size() == 1) {
    out.error = "empty expression";
    return out;
  }
  try {
    Parser parser(std::move(lexed.tokens), bindings, &out);
    out.root = parser.ParseAll();
  } catch (const ParseFailure& failure) {
    out.nodes.clear();
    out.root = -1;
    out.error = failure.message;
  }
  return out;
}

}  // namespace vx
