#include "XmlNode.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

XmlNode::XmlNode(std::string elementName) : name(std::move(elementName)) {}

XmlNode::~XmlNode()
{
    std::vector<std::unique_ptr<XmlNode>> pending = std::move(children);
    while (!pending.empty()) {
        std::unique_ptr<XmlNode> node = std::move(pending.back());
        pending.pop_back();
        for (auto& child : node->children)
            pending.push_back(std::move(child));
        node->children.clear();
    }
}

XmlNode* XmlNode::AddAttribute(const char* attributeName, const CJOVString& value)
{
    attributes.push_back(XmlAttribute{attributeName, value});
    return this;
}

XmlNode* XmlNode::AddAttribute(const char* attributeName, const wchar_t* value)
{
    return AddAttribute(attributeName, CJOVString(value));
}

XmlNode* XmlNode::AddAttribute(const char* attributeName, const char* value)
{
    return AddAttribute(attributeName, CJOVString(reinterpret_cast<const unsigned char*>(value), CP_UTF8));
}

XmlNode* XmlNode::AddAttribute(const char* attributeName, int value)
{
    char digits[16];
    std::snprintf(digits, sizeof digits, "%d", value);
    return AddAttribute(attributeName, digits);
}

XmlNode* XmlNode::AddStanzaId(int number)
{
    char id[24];
    std::snprintf(id, sizeof id, "jov_%d", number);
    return AddAttribute("id", id);
}

XmlNode* XmlNode::AddChild(const char* childName)
{
    return AddChild(std::make_unique<XmlNode>(childName));
}

XmlNode* XmlNode::AddChild(const char* childName, const CJOVString& childText)
{
    XmlNode* child = AddChild(childName);
    child->SetText(childText);
    return child;
}

XmlNode* XmlNode::AddChild(const char* childName, const wchar_t* childText)
{
    return AddChild(childName, CJOVString(childText));
}

XmlNode* XmlNode::AddChild(const char* childName, const char* childText)
{
    return AddChild(childName, CJOVString(reinterpret_cast<const unsigned char*>(childText), CP_UTF8));
}

XmlNode* XmlNode::AddChild(std::unique_ptr<XmlNode> child)
{
    child->depth = depth + 1;
    children.push_back(std::move(child));
    return children.back().get();
}

XmlNode* XmlNode::AddQuery(const char* xmlns)
{
    return AddChild("query")->AddAttribute("xmlns", xmlns);
}

void XmlNode::SetText(const CJOVString& value)
{
    text = value;
    hasText = true;
}

const CJOVString* GetAttribute(const XmlNode* node, const char* name)
{
    if (!node)
        return nullptr;
    for (const XmlAttribute& attribute : node->attributes) {
        if (attribute.name == name)
            return &attribute.value;
    }
    return nullptr;
}

const CJOVString* GetText(const XmlNode* node)
{
    return node && node->hasText ? &node->text : nullptr;
}

XmlNode* GetChild(const XmlNode* node, const char* name)
{
    return GetNthChild(node, name, 1);
}

XmlNode* GetNthChild(const XmlNode* node, const char* name, int n)
{
    if (!node || n < 1)
        return nullptr;
    for (const auto& child : node->children) {
        if (child->name == name && --n == 0)
            return child.get();
    }
    return nullptr;
}

XmlNode* GetChildWithAttribute(const XmlNode* node, const char* name, const char* attribute, const wchar_t* value)
{
    if (!node)
        return nullptr;
    for (const auto& child : node->children) {
        if (child->name == name && AttributeIs(child.get(), attribute, value))
            return child.get();
    }
    return nullptr;
}

XmlNode* GetFirstChild(const XmlNode* node)
{
    return node && !node->children.empty() ? node->children.front().get() : nullptr;
}

bool AttributeIs(const XmlNode* node, const char* name, const wchar_t* value)
{
    const CJOVString* found = GetAttribute(node, name);
    if (!found || !value)
        return false;
    size_t length = std::wcslen(value);
    return static_cast<size_t>(found->GetLength()) == length &&
           (length == 0 || std::wmemcmp(found->Data(), value, length) == 0);
}
