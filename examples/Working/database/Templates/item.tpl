Group
{
	name = "All Groups"
	type = "list"

	Variable
	{
		name = "Include File"
		class = "variable"
		type = "include"
		description = ""
		value = ""
		defaultValue = "%TEMPLATE_DIR%Database\Templates\base.tpl"
	}

	Group
	{
		name = "Header"
		type = "system"

		Variable
		{
			name = "ActorName"
			class = "variable"
			type = "string"
			description = "Name shown in the editor"
			value = ""
			defaultValue = ""
		}

		Variable
		{
			name = "Class"
			class = "static"
			type = "string"
			description = "Engine class of the record"
			value = ""
			defaultValue = "Item"
		}

		Variable
		{
			name = "FileDescription"
			class = "variable"
			type = "string"
			description = "What this record is for"
			value = ""
			defaultValue = ""
		}

	}

	Group
	{
		name = "Item"
		type = "list"

		Variable
		{
			name = "value"
			class = "variable"
			type = "int"
			description = "Price in gold"
			value = ""
			defaultValue = "1"
		}

		Variable
		{
			name = "weight"
			class = "variable"
			type = "real"
			description = "Kilograms"
			value = ""
			defaultValue = "0.5"
		}

		Variable
		{
			name = "icon"
			class = "variable"
			type = "file_tex"
			description = "Inventory icon"
			value = ""
			defaultValue = ""
		}

		Variable
		{
			name = "rarity"
			class = "picklist"
			type = "string"
			description = "Drop rarity"
			value = ""
			defaultValue = "common;rare;epic"
		}

	}

}

